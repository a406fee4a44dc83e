#pragma once
#include <atomic>
// Manual naming: each entry of the file list gets the name on its line of the editing
// area. Nothing is ever overwritten, and only renames that happened are logged and
// counted.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "rename/rename_batch.h"
#include "rename/undo_list.h"

namespace quilvane {

struct ManualNaming {
    std::string folder;                // the list's folder
    std::vector<std::string> entries;  // the list's entries (bracketed in folder mode)
    std::vector<std::string> lines;    // the editing area's lines, at least one per entry
    bool folderMode = false;
};

struct ManualNamingResult {
    // The numbers (from 0) of the lines refused because they still hold a character that
    // could not be read (U+FFFD).
    std::vector<std::size_t> refused;
    // Entries whose new name another file keeps, left as they are.
    std::vector<RenameRequest> held;
    BatchOutcome batch;
};

// The renames of all lines are planned as one batch: names that entries of the list give
// up are free for the others (swaps, shifted numbers). When a line names a file that
// keeps its name, `ask` is asked whether to delete the entry's file; true deletes it.
// Renames go to `log` and `renamedCount`. A line that reads as its entry is shown (a name
// in a legacy code page shown decoded) leaves the entry's own bytes alone; a changed line
// becomes a UTF-8 name.
ManualNamingResult renameFromLines(const ManualNaming& naming, UndoList& log, std::int32_t& renamedCount,
                                   const std::function<bool(const std::string& question)>& ask,
                                   SysCalls& sys = realSysCalls(), const std::atomic<bool>* stop = nullptr);

// The notice for lines refused that way.
std::string refusedLinesText(const std::vector<std::size_t>& refused, const std::vector<std::string>& lines);

}  // namespace quilvane
