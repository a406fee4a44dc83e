#pragma once
// The rename log of the last naming command, and its undo.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/syscalls.h"

namespace quilvane {

struct RenameRecord {
    std::string newPath;
    std::string oldPath;
};

class UndoList {
public:
    void append(std::string newPath, std::string oldPath) {
        records_.push_back({std::move(newPath), std::move(oldPath)});
    }
    void clear() { records_.clear(); }
    bool empty() const { return records_.empty(); }
    std::size_t size() const { return records_.size(); }
    const std::vector<RenameRecord>& records() const { return records_; }

private:
    std::vector<RenameRecord> records_;
};

// Renames `from` to `to` without replacing anything; only a rename that happened is
// logged and counted. True when it happened.
bool renameAndLog(const std::string& from, const std::string& to, UndoList& log,
                  std::int32_t& renamedCount, SysCalls& sys = realSysCalls());

struct UndoResult {
    int restored = 0;
    // Records whose entry could not get its old name back (the name taken meanwhile,
    // the entry gone): they stay where they are.
    std::vector<RenameRecord> failed;
};

// Gives every logged entry its old name back, the last rename first, so that chains
// and swaps made by one command (x->z, then y->x) come fully undone. After record k
// (counting from 0) with k a multiple of 9, `progress(k)` is called. The log is emptied.
UndoResult undoRenames(UndoList& log, const std::function<void(int)>& progress,
                       SysCalls& sys = realSysCalls());

// The notice that names the entries an undo could not restore (the first 20 of them).
std::string unrestoredNamesText(const std::vector<RenameRecord>& failed);

}  // namespace quilvane
