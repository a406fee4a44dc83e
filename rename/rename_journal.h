#pragma once
// The rename batches, kept on disk so that they can still be undone after a crash, a
// power cut or a normal exit: a history of the last 20 batches, a file each in the state
// folder's rename-history/; undo takes the newest back first. Append-only: each rename is announced before it is made
// and marked done after it, the marks written with the next announcement; announcements
// are synced before the renames they announce. Only paths are stored (and the time the
// batch began).
//
// One journal per user: a second running copy of the program finds it locked and works
// without one.
#include <ctime>
#include <optional>
#include <thread>
#include <string>
#include <vector>

#include "rename/rename_record.h"

namespace quilvane {

class RenameJournal {
public:
    // `folder` is created when the first batch is written; the journal is a file in it.
    explicit RenameJournal(std::string folder);
    ~RenameJournal();
    RenameJournal(const RenameJournal&) = delete;
    RenameJournal& operator=(const RenameJournal&) = delete;

    struct Batch {
        std::time_t started = 0;
        std::string about;   // the command that made it, as its front end describes it
        std::string folder;  // the folder it worked in
        // The renames that happened, in the order they were made.
        std::vector<RenameRecord> renames;
    };
    // The newest batch of the history that still has renames to undo. Renames announced
    // but not marked done count when the disk shows they happened (the old name gone, the
    // new one there). Later renames are added to this batch.
    std::optional<Batch> load();

    // Writes the renames about to be made and syncs them; starts a new journal when none
    // is open. False when the journal could not be written (see problem()).
    bool announce(const std::vector<RenameRecord>& upcoming);
    // The same, but the sync runs in the background while the renames announced before
    // are made; awaitAnnounced() returns once it is done. Renames announced this way must
    // not be made before then.
    bool announceAhead(const std::vector<RenameRecord>& upcoming);
    bool awaitAnnounced();
    // The next announced rename that was made (renames announced and not made are passed).
    void markDone(const RenameRecord& made);
    // Syncs what was written.
    void settle();
    // Forgets the batch: it was undone, its file goes.
    void discard();
    // The batch is over: the next renames begin a new batch, in a file of their own; this
    // one stays in the history.
    void startNew();
    // What the next batch is, for the history: its command and its folder.
    void describe(std::string about, std::string folder);
    // The batches with renames to undo, the newest first (read only: nothing is settled
    // on disk).
    std::vector<Batch> history() const;
    // The batch becomes these renames alone (those an undo could not take back), so that
    // a later undo can try them again; none: as discard().
    void keepOnly(const std::vector<RenameRecord>& renames);

    // Whether a batch starting now can be journaled: the state folder takes a block of
    // text, synced (a full disk, a read-only folder or another running copy say no).
    // The journal on disk is not touched. When not, problem() says why.
    bool writable();
    // Another running copy of the program keeps the journal: this one undoes in memory.
    bool lockedByAnother() const { return lockRefused_; }

    // Why the journal could not be kept, in Chinese; empty while all is well.
    const std::string& problem() const { return problem_; }
    std::string path() const;

private:
    bool open();
    bool lock();
    void takeInLegacyJournal();
    void closeBatch();
    std::string historyFolder() const;
    std::string headerText() const;
    std::optional<Batch> readBatch(const std::string& file) const;
    // Writes the journal anew as a batch of these renames, all made.
    bool rewrite(const std::vector<RenameRecord>& renames);
    bool writeIntents(const std::vector<RenameRecord>& upcoming);
    bool writeText(const std::string& text);
    void fail(const std::string& what, int error);

    std::string folder_;
    int fd_ = -1;
    int lockFd_ = -1;
    bool lockRefused_ = false;
    bool broken_ = false;               // failed during this batch: no journal until the next
    std::size_t nextIntent_ = 0;        // how many renames the journal has announced
    std::vector<RenameRecord> pending_;  // announced; those before pendingHead_ are settled
    std::size_t pendingHead_ = 0;       // the first announced rename neither marked nor passed over
    std::string marks_;                 // done marks not written yet
    std::thread syncing_;               // the background sync of announceAhead
    int syncError_ = 0;
    std::string problem_;
    std::time_t started_ = 0;  // when the batch on disk began
    std::string current_;      // this batch's file in the history; empty before it has one
    bool probed_ = false;      // writable() found the state folder taking text
    std::string about_, aboutFolder_;
};

// Where the program keeps its state: $XDG_STATE_HOME/quilvane, or ~/.local/state/quilvane.
std::string programStateFolder();

}  // namespace quilvane
