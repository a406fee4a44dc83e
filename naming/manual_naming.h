#pragma once
// Manual naming: each entry of the file list gets the name on its line of the editing
// area. Nothing is ever overwritten, and only renames that happened are logged and
// counted.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/undo_list.h"

namespace quilvane {

struct ManualNaming {
    std::string folder;                // the list's folder
    std::vector<std::string> entries;  // the list's entries (bracketed in folder mode)
    std::vector<std::string> lines;    // the editing area's lines, at least one per entry
    bool folderMode = false;
};

// Asks, when a line names another existing file, whether to delete the entry's file;
// true deletes it. Returns nothing; renames go to `log` and `renamedCount`.
void renameFromLines(const ManualNaming& naming, UndoList& log, std::int32_t& renamedCount,
                     const std::function<bool(const std::string& question)>& ask);

}  // namespace quilvane
