#pragma once
// A naming command's renames, planned as a whole before any is made: each new name is
// freed before it is taken (a chain runs from its far end, a cycle parks one file under a
// temporary name in its folder), so swaps, cycles and shifted numbering never meet their
// own batch's names. Every rename made, the parking ones too, goes to the undo log, which
// therefore restores the batch exactly.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "rename/undo_list.h"
#include "platform/syscalls.h"

namespace quilvane {

struct RenameRequest {
    std::string from;
    std::string to;
};

// What happens to a file whose new name is held by an entry that stays: one outside the
// batch, or a file of the batch that keeps its name.
enum class HeldName {
    Skip,           // the file keeps its name
    SourceDeleted,  // the handler deleted the file being renamed
    TryRename,      // rename anyway; it fails harmlessly unless the name is the file's own
};
using HeldNameHandler = std::function<HeldName(const std::string& from, const std::string& to)>;

struct BatchOutcome {
    int renamed = 0;  // files that took their new name
    int deleted = 0;  // files the handler deleted
    // Files that wanted a name another file of the batch asked for first.
    std::vector<RenameRequest> sameNameAsEarlier;
    // Renames that failed when made; the files keep their names.
    std::vector<RenameRequest> failed;
    bool stopped = false;  // ended early on request; the renames not made yet were not tried
};

class RenameBatch {
public:
    // In the command's order: the first of two files wanting one name gets it.
    void add(std::string from, std::string to) { requests_.push_back({std::move(from), std::move(to)}); }
    bool empty() const { return requests_.empty(); }
    std::size_t size() const { return requests_.size(); }

    // Decides the held names (asking through `held`, in the command's order), then makes
    // the renames. `progress(renamed)` follows every rename made. A `stop` raised during
    // the run (Ctrl-C) ends it after the rename in hand, and after the cycle of names in
    // hand, so that no file is left under a parking name; `stopped` then says so.
    BatchOutcome run(UndoList& log, const HeldNameHandler& held, const std::function<void(int renamed)>& progress = {},
                     SysCalls& sys = realSysCalls(), const std::atomic<bool>* stop = nullptr);

private:
    std::vector<RenameRequest> requests_;
};

// "以下N个文件要改成的名字本批中已有文件先用了，未改名：…"
std::string sameNameText(const std::vector<RenameRequest>& skipped);

}  // namespace quilvane
