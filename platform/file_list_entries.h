#pragma once
// What the file list shows for a folder: in file mode the files matching the mask, in
// folder mode the sub-folders matching it as "[name]" (with "[.]" and "[..]" below the
// root). Hidden (dot-named) entries never show. Entries are the names' own bytes, in
// list order (platform/list_order.h).
#include <string>
#include <string_view>
#include <vector>

namespace quilvane {

enum class ListContent { Files, Folders };

// Returns 0, or the errno value when the folder cannot be read.
int readFileListEntries(const std::string& folder, std::string_view mask, ListContent content,
                        std::vector<std::string>& entries);

// "[name]" -> "name"; other texts unchanged.
std::string withoutBrackets(std::string_view entry);
// "[.]" and "[..]": the folder itself and its parent.
bool isDotEntry(std::string_view entry);

}  // namespace quilvane
