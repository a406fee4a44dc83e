#include "platform/file_list_entries.h"

#include <algorithm>

#include "platform/file_mask.h"
#include "platform/folder_listing.h"
#include "platform/list_order.h"
#include "platform/text.h"

namespace quilvane {

int readFileListEntries(const std::string& folder, std::string_view mask, ListContent content,
                        std::vector<std::string>& entries) {
    std::vector<std::string> found;
    const bool folders = content == ListContent::Folders;
    const int rc = forEachEntry(folder, [&](const FolderEntry& e) {
        if (e.isFolder() == folders && maskMatches(mask, e.name)) found.push_back(e.name);
        return true;
    });
    if (rc != 0) return rc;
    sortInListOrder(found);
    if (folders)
        for (std::string& name : found) name = "[" + name + "]";
    // The folder itself and its parent head the list.
    if (folders && folder != "/") found.insert(found.begin(), {"[.]", "[..]"});
    entries = std::move(found);
    return 0;
}

std::string withoutBrackets(std::string_view entry) {
    if (entry.size() >= 2 && entry.front() == '[' && entry.back() == ']')
        return std::string(entry.substr(1, entry.size() - 2));
    return std::string(entry);
}

bool isDotEntry(std::string_view entry) { return entry == "[.]" || entry == "[..]"; }

}  // namespace quilvane
