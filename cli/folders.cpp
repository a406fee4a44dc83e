#include "cli/folders.h"

#include "cli/arguments.h"
#include "cli/output.h"
#include "platform/display_name.h"
#include "platform/file_list_entries.h"
#include "platform/folder_listing.h"
#include "platform/paths.h"

namespace quilvane::cli {

std::string existingFolder(const std::string& given) {
    std::string folder = given;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (folder.empty() || !isFolder(folder)) throw UsageError(say("不是文件夹：", "not a folder: ") + displayName(given));
    // Absolute, once: the journal must find the files again from any other folder.
    if (folder.starts_with('/')) return folder;
    while (folder.starts_with("./")) folder.erase(0, 2);
    const std::string here = currentDirectory();
    return folder == "." ? here : joinPath(here, folder);
}

std::vector<std::string> listedFiles(const std::string& folder) {
    std::vector<std::string> entries;
    if (const int rc = readFileListEntries(folder, "*.*", ListContent::Files, entries))
        throw UsageError(unreadableFolderMessage({folder, rc}));
    return entries;
}

}  // namespace quilvane::cli
