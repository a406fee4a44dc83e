#pragma once
// The rename log of the last naming command, and its undo.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "rename/rename_journal.h"
#include "rename/rename_record.h"
#include "platform/syscalls.h"

namespace quilvane {

// The renames of the last batch, in the order they were made; mirrored into a journal on
// disk when one is kept, so that the batch outlives the program.
class UndoList {
public:
    // From now on every batch is written to `journal` (not owned) as well.
    void keepJournal(RenameJournal* journal) { journal_ = journal; }
    bool journaled() const { return journal_ != nullptr; }
    // Renames about to be made: on disk before they happen.
    void announce(const std::vector<RenameRecord>& upcoming) {
        if (journal_) journal_->announce(upcoming);
    }
    // Renames to be made after those announced before: on disk by awaitAnnounced().
    void announceAhead(const std::vector<RenameRecord>& upcoming) {
        if (journal_) journal_->announceAhead(upcoming);
    }
    void awaitAnnounced() {
        if (journal_) journal_->awaitAnnounced();
    }
    // A rename that was made (of the file with this identity, when known).
    void append(std::string newPath, std::string oldPath, FileIdentity file = {}) {
        records_.push_back({std::move(newPath), std::move(oldPath), file});
        if (journal_) journal_->markDone(records_.back());
    }
    // Makes the journal's copy durable (the end of a batch).
    void settle() {
        if (journal_) journal_->settle();
    }
    // A new batch begins: the one before leaves the log but stays in the journal's history.
    void startBatch() {
        records_.clear();
        if (journal_) journal_->startNew();
    }
    // Forgets the batch, and the journal's copy of it (it was undone).
    void clear() {
        records_.clear();
        if (journal_) journal_->discard();
    }
    // Keeps only these renames of the batch, in the journal too (an undo's leftovers).
    void keepOnly(std::vector<RenameRecord> records) {
        records_ = std::move(records);
        if (journal_) journal_->keepOnly(records_);
    }
    // The batch found in the journal at start.
    void adopt(std::vector<RenameRecord> records) { records_ = std::move(records); }
    bool empty() const { return records_.empty(); }
    std::size_t size() const { return records_.size(); }
    const std::vector<RenameRecord>& records() const { return records_; }

private:
    std::vector<RenameRecord> records_;
    RenameJournal* journal_ = nullptr;
};

// `move` (which takes the entry at `from` to `to`, true when it did) as a rename of the
// log: announced first with the entry's identity, logged when made. Without a log, just
// `move`. Sorting and transfers journal their moves this way.
bool moveAndLog(const std::string& from, const std::string& to, UndoList* log, const std::function<bool()>& move,
                SysCalls& sys = realSysCalls());

// Renames `from` to `to` without replacing anything; only a rename that happened is
// logged and counted. True when it happened.
bool renameAndLog(const std::string& from, const std::string& to, UndoList& log,
                  std::int32_t& renamedCount, SysCalls& sys = realSysCalls());

struct UndoResult {
    int restored = 0;
    // Records whose entry could not get its old name back (the name taken meanwhile,
    // the entry gone): they stay where they are.
    std::vector<RenameRecord> failed;
    bool stopped = false;  // ended early on request: the renames not tried stay in the log
};

// Gives every logged entry its old name back, the last rename first, so that chains
// and swaps made by one command (x->z, then y->x) come fully undone. After record k
// (counting from 0) with k a multiple of 9, `progress(k)` is called. The log keeps only
// the renames that could not be taken back, so that a later undo can try them again.
UndoResult undoRenames(UndoList& log, const std::function<void(int)>& progress,
                       SysCalls& sys = realSysCalls(), const std::atomic<bool>* stop = nullptr);

// The notice that names the entries an undo could not restore (the first 20 of them).
std::string unrestoredNamesText(const std::vector<RenameRecord>& failed);

}  // namespace quilvane
