#pragma once
// What the naming commands share: the undo log (journaled, so that `quilvane-cli undo` and
// the window's 撤销更名 can undo the batch later; a dry run plays the renames on a picture
// of the disk and journals nothing), the list of renames made, and the summary.
#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "rename/rename_batch.h"
#include "rename/rename_journal.h"
#include "rename/undo_list.h"
#include "platform/simulated_syscalls.h"

namespace quilvane::cli {

class RenameRun {
public:
    // A real run refuses to start (UsageError) when its batch could not be journaled,
    // unless `withoutUndo` (--no-undo) accepts a batch that cannot be undone.
    RenameRun(bool dryRun, bool verbose, std::string root, bool withoutUndo = false);

    UndoList& log() { return log_; }
    SysCalls& sys();
    bool dryRun() const { return dryRun_; }
    // Held names are left alone (a script is never asked whether to delete a file); a
    // name held by the file itself (another letter case on a mount that ignores case) is
    // renamed through.
    HeldNameHandler keepHeldNames();
    // Starts the command's batch (`command` as the history lists it); the batches before
    // stay in the history.
    void begin(const std::string& command);

    void noteHeld(const std::vector<RenameRequest>& held);
    void noteFailure(const std::string& text) { failures_.push_back(text); }

    // Raised by Ctrl-C or SIGTERM once the batch has begun: the batch ends after the
    // rename in hand, with its journal settled.
    const std::atomic<bool>* interruption() const;

    // Prints the renames (a dry run's always, a real run's with --verbose), the problems
    // and the summary line, and after an interruption how to undo; returns the exit status.
    int finish(const BatchOutcome& outcome);

private:
    std::string relative(const std::string& path) const;

    bool dryRun_;
    bool verbose_;
    std::string root_;
    std::optional<RenameJournal> journal_;
    UndoList log_;
    SimulatedSysCalls simulated_;
    std::vector<RenameRequest> held_;
    std::vector<std::string> failures_;
};

// Refuses (UsageError) a batch of renames that the journal could not take, unless
// `withoutUndo`.
void refuseWithoutJournal(RenameJournal& journal, bool withoutUndo);

// From now on Ctrl-C and SIGTERM raise a flag instead of ending the program: a batch of
// renames or an undo ends cleanly at the next rename. Returns the flag.
const std::atomic<bool>& catchInterruptions();

}  // namespace quilvane::cli
