#include "editing/list_correspondence.h"

#include "platform/display_name.h"
#include "platform/file_list_entries.h"
#include "platform/text.h"

namespace quilvane {

std::vector<std::string> namesForLines(const std::vector<std::string>& entries, bool folderMode) {
    std::vector<std::string> lines;
    lines.reserve(entries.size());
    for (const std::string& entry : entries) {
        if (!folderMode) lines.push_back(entry);
        else if (isDotEntry(entry)) lines.push_back(entry + "此处改名无效");
        else lines.push_back(withoutBrackets(entry));
    }
    return lines;
}

int firstEntryStartingWith(const std::vector<std::string>& entries, std::string_view prefix) {
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (startsWithIgnoringAsciiCase(displayName(entries[i]), prefix)) return static_cast<int>(i);
    return -1;
}

}  // namespace quilvane
