// The rename journal: a batch outlives the program, a crash part way is read back from
// what the disk shows, odd names survive the trip, and a journal that cannot be written
// stops nothing.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <cstdlib>
#include <ctime>
#include <memory>

#include "rename/rename_batch.h"
#include "rename/rename_journal.h"
#include "platform/rename_noreplace.h"
#include "support/file_size_limit.h"
#include "support/folder_snapshot.h"
#include "support/journal_files.h"
#include "rename/rename_record.h"
#include "support/temp_folder.h"

namespace quilvane {
namespace {

using test::snapshot;
using test::TempFolder;

const HeldNameHandler kSkip = [](const std::string&, const std::string&) { return HeldName::Skip; };

TEST(RenameJournal, ABatchOutlivesTheProgramAndIsUndoneOnce) {
    TempFolder dir, state;
    // Names with every byte a line-based record could stumble on, and one in GBK.
    const std::vector<std::string> names{"a\nb.mp3", "tab\there.mp3", "100%.mp3", "\xd6\xd0\xce\xc4.mp3", "plain.mp3"};
    for (const auto& n : names) dir.write(n, n);
    const auto before = snapshot(dir.path());
    std::vector<RenameRecord> made;
    const std::time_t start = std::time(nullptr);
    {
        RenameJournal journal(state / "quilvane");
        UndoList log;
        log.keepJournal(&journal);
        RenameBatch batch;
        // A cycle of the first three and two plain renames.
        batch.add(dir / names[0], dir / names[1]);
        batch.add(dir / names[1], dir / names[2]);
        batch.add(dir / names[2], dir / names[0]);
        batch.add(dir / names[3], dir / "renamed 1.mp3");
        batch.add(dir / names[4], dir / "renamed\n2.mp3");
        EXPECT_EQ(batch.run(log, kSkip).renamed, 5);
        made = log.records();
        EXPECT_TRUE(journal.problem().empty()) << journal.problem();

        // A second copy of the program finds the journal taken and works without it.
        RenameJournal second(state / "quilvane");
        EXPECT_FALSE(second.load());
        EXPECT_EQ(second.problem(), "另一个正在运行的Quilvane在使用改名日志，这一批改名只能在本程序关闭前撤销");
    }
    struct stat st {};
    ASSERT_EQ(::stat(test::newestJournal(state / "quilvane").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << "paths are the user's own business";

    RenameJournal journal(state / "quilvane");
    const auto batch = journal.load();
    ASSERT_TRUE(batch);
    EXPECT_EQ(batch->renames, made);
    EXPECT_GE(batch->started, start);
    EXPECT_EQ(filesRenamedIn(batch->renames), 5u);

    UndoList log;
    log.keepJournal(&journal);
    log.adopt(batch->renames);
    EXPECT_TRUE(undoRenames(log, {}).failed.empty());
    EXPECT_EQ(snapshot(dir.path()), before);
    EXPECT_TRUE(test::journalFiles(state / "quilvane").empty()) << "an undone batch is offered no more";
    RenameJournal later(state / "quilvane");
    EXPECT_FALSE(later.load());
}

// What a kill leaves: renames marked done, one announced and made but not yet marked, one
// announced and not made, one that failed before later ones were made, and a line cut short.
TEST(RenameJournal, ACrashPartWayIsReadFromWhatTheDiskShows) {
    TempFolder dir, state;
    dir.write("new0", "0");
    dir.write("old1", "1");  // failed: still under its old name
    dir.write("new2", "2");
    dir.write("new3", "3");  // made, the mark lost with the process
    dir.write("old4", "4");  // announced, never made
    const auto line = [&](const std::string& from, const std::string& to) {
        return "i " + dir / from + "\t" + dir / to + "\n";
    };
    const std::string text = "quilvane rename journal 1\nstarted 1700000000\n" + line("old0", "new0") + "d 0\n" +
                             line("old1", "new1") + line("old2", "new2") + "d 2\n" + line("old3", "new3") +
                             line("old4", "new4") + "i " + dir / "old5";
    state.write("quilvane/rename-journal", text);

    auto journal = std::make_unique<RenameJournal>(state / "quilvane");
    const auto batch = journal->load();
    ASSERT_TRUE(batch);
    EXPECT_EQ(batch->started, 1700000000);
    const std::vector<RenameRecord> expected{{dir / "new0", dir / "old0"}, {dir / "new2", dir / "old2"}, {dir / "new3", dir / "old3"}};
    EXPECT_EQ(batch->renames, expected);

    // Written anew as whole lines: the next load reads the same, and later renames append.
    UndoList log;
    log.keepJournal(journal.get());
    log.adopt(batch->renames);
    dir.write("extra", "x");
    ASSERT_EQ(renameWithoutReplacing(dir / "extra", dir / "extra2"), 0);
    log.announce({{dir / "extra2", dir / "extra"}});
    log.append(dir / "extra2", dir / "extra");
    log.settle();
    journal = std::make_unique<RenameJournal>(state / "quilvane");
    const auto again = journal->load();
    ASSERT_TRUE(again);
    ASSERT_EQ(again->renames.size(), 4u);
    EXPECT_EQ(again->renames.back().oldPath, dir / "extra");
}

FileIdentity identityOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return {st.st_dev, st.st_ino};
}

// A swap and a three-cycle whose plans reached the journal before the process died, with
// none of their renames made: the names alone look the same as a swap made whole, the
// files' identities do not. Undo then moves nothing. And an undo killed part way, undone
// again: what it gave back counts as given back.
TEST(RenameJournal, ACrashBeforeASwapMovesNothingAndAnUndoCanBeRepeated) {
    TempFolder dir, state;
    for (const char* name : {"a", "b", "x", "y", "z"}) dir.write(name, name);
    const auto before = snapshot(dir.path());
    {
        RenameJournal journal(state / "quilvane");
        const std::string parkAB = dir / ".quilvane-swap-1-0", parkXYZ = dir / ".quilvane-swap-1-1";
        journal.announce({{parkAB, dir / "a", identityOf(dir / "a")},
                          {dir / "a", dir / "b", identityOf(dir / "b")},
                          {dir / "b", parkAB, identityOf(dir / "a")},
                          {parkXYZ, dir / "x", identityOf(dir / "x")},
                          {dir / "x", dir / "y", identityOf(dir / "y")},
                          {dir / "y", dir / "z", identityOf(dir / "z")},
                          {dir / "z", parkXYZ, identityOf(dir / "x")}});
    }  // the process dies here
    {
        RenameJournal journal(state / "quilvane");
        EXPECT_FALSE(journal.load()) << "nothing was renamed, so there is nothing to undo";
    }
    EXPECT_EQ(snapshot(dir.path()), before);

    // The whole cycle made, then an undo that died after its first step back.
    {
        RenameJournal journal(state / "quilvane");
        UndoList log;
        log.keepJournal(&journal);
        RenameBatch cycle;
        cycle.add(dir / "x", dir / "y");
        cycle.add(dir / "y", dir / "z");
        cycle.add(dir / "z", dir / "x");
        ASSERT_EQ(cycle.run(log, kSkip).renamed, 3);
        const RenameRecord last = log.records().back();
        ASSERT_EQ(renameWithoutReplacing(last.newPath, last.oldPath), 0);  // the killed undo's first step
    }
    RenameJournal reopened(state / "quilvane");
    UndoList again;
    again.adopt(reopened.load().value().renames);
    const UndoResult result = undoRenames(again, {});
    EXPECT_TRUE(result.failed.empty()) << unrestoredNamesText(result.failed);
    EXPECT_EQ(result.restored, 3);
    EXPECT_EQ(snapshot(dir.path()), before);
}

// A chain (b->c made first, then a->b) whose marks died with the process is found whole
// from the disk; and a journal that failed part way is not left behind as if whole.
TEST(RenameJournal, UnmarkedChainsAreFoundAndAJournalCutShortIsNotKept) {
    TempFolder dir, state;
    dir.write("b", "was a");
    dir.write("c", "was b");
    state.write("quilvane/rename-journal", "quilvane rename journal 1\nstarted 1700000000\ni " + dir / "b" + "\t" + dir / "c" +
                                               "\ni " + dir / "a" + "\t" + dir / "b" + "\n");
    {
        RenameJournal journal(state / "quilvane");
        const auto batch = journal.load();
        ASSERT_TRUE(batch);
        const std::vector<RenameRecord> chain{{dir / "c", dir / "b"}, {dir / "b", dir / "a"}};
        EXPECT_EQ(batch->renames, chain);
    }

    const std::vector<std::string> earlier = test::journalFiles(state / "quilvane");
    TempFolder many;
    for (int i = 0; i < 300; ++i) many.write("a" + std::to_string(i), std::to_string(i));
    EXPECT_EQ(test::runWithFileSizeLimit(4096, [&] {
                  RenameJournal journal(state / "quilvane");
                  UndoList log;
                  log.keepJournal(&journal);
                  RenameBatch batch;
                  for (int i = 0; i < 300; ++i) batch.add(many / ("a" + std::to_string(i)), many / ("b" + std::to_string(i)));
                  if (batch.run(log, kSkip).renamed != 300 || journal.problem().empty()) std::exit(1);
              }),
              0);
    EXPECT_EQ(test::journalFiles(state / "quilvane"), earlier) << "a journal with a gap would undo part of a batch";
    EXPECT_EQ(many.read("b299"), "299");
}

// Ctrl-C during a batch: the cycle of names in hand is finished (no file is left under a
// parking name), nothing after it is renamed, and the journal holds what was made.
TEST(RenameJournal, AnInterruptedBatchEndsAfterTheCycleInHandWithItsJournalSettled) {
    TempFolder dir, state;
    dir.write("a", "A");
    dir.write("b", "B");
    for (int i = 0; i < 5; ++i) dir.write("f" + std::to_string(i), "f");
    std::atomic<bool> stop{false};
    BatchOutcome outcome;
    {
        RenameJournal journal(state / "quilvane");
        UndoList log;
        log.keepJournal(&journal);
        RenameBatch batch;
        batch.add(dir / "a", dir / "b");
        batch.add(dir / "b", dir / "a");
        for (int i = 0; i < 5; ++i) batch.add(dir / ("f" + std::to_string(i)), dir / ("g" + std::to_string(i)));
        outcome = batch.run(log, kSkip, [&](int) { stop = true; }, realSysCalls(), &stop);
    }
    EXPECT_TRUE(outcome.stopped);
    EXPECT_EQ(outcome.renamed, 2);
    EXPECT_EQ(dir.read("a"), "B");
    EXPECT_EQ(dir.read("b"), "A");
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"a", "b", "f0", "f1", "f2", "f3", "f4"})) << "no parked file";
    RenameJournal journal(state / "quilvane");
    UndoList log;
    log.adopt(journal.load().value().renames);
    EXPECT_EQ(undoRenames(log, {}).restored, 2);
    EXPECT_EQ(dir.read("a"), "A");
}

// The real system calls, except that the first parking name of a swap is found taken
// (another program's file); each later parking name is looked up in the journal first.
class ParkingTaken : public SysCalls {
public:
    explicit ParkingTaken(std::string state) : state_(std::move(state)) {}
    int renameNoReplace(const std::string& from, const std::string& to) override {
        if (isParkingName(to)) {
            if (!refused_) {
                refused_ = true;
                return EEXIST;
            }
            announced_ = TempFolder::readFile(test::newestJournal(state_)).find(to) != std::string::npos;
        }
        return realSysCalls().renameNoReplace(from, to);
    }
    int link(const std::string& a, const std::string& b) override { return realSysCalls().link(a, b); }
    int unlink(const std::string& p) override { return realSysCalls().unlink(p); }
    int rename(const std::string& a, const std::string& b) override { return realSysCalls().rename(a, b); }
    int identify(const std::string& p, FileIdentity& out) override { return realSysCalls().identify(p, out); }
    bool listsName(const std::string& f, const std::string& n) override { return realSysCalls().listsName(f, n); }
    bool announced_ = false;

private:
    std::string state_;
    bool refused_ = false;
};

TEST(RenameJournal, AParkingNameChosenAgainIsJournaledBeforeItIsUsed) {
    TempFolder dir, state;
    dir.write("a", "A");
    dir.write("b", "B");
    RenameJournal journal(state / "quilvane");
    UndoList log;
    log.keepJournal(&journal);
    ParkingTaken sys(state / "quilvane");
    RenameBatch swap;
    swap.add(dir / "a", dir / "b");
    swap.add(dir / "b", dir / "a");
    EXPECT_EQ(swap.run(log, kSkip, {}, sys).renamed, 2);
    EXPECT_TRUE(sys.announced_);
    EXPECT_EQ(dir.read("a"), "B");
}

TEST(RenameJournal, AJournalThatCannotBeWrittenStopsNoRename) {
    TempFolder dir, state;
    dir.write("a", "A");
    state.write("quilvane", "a file where the folder should be");
    RenameJournal journal(state / "quilvane");
    UndoList log;
    log.keepJournal(&journal);
    RenameBatch batch;
    batch.add(dir / "a", dir / "b");
    EXPECT_EQ(batch.run(log, kSkip).renamed, 1);
    EXPECT_EQ(dir.read("b"), "A");
    EXPECT_TRUE(journal.problem().starts_with("无法建立改名日志的文件夹 " + state / "quilvane/rename-history：")) << journal.problem();
    EXPECT_TRUE(journal.problem().ends_with("（程序关闭后将不能撤销这一批改名）"));
    EXPECT_EQ(undoRenames(log, {}).restored, 1) << "the undo in memory still works";
    EXPECT_EQ(dir.read("a"), "A");

    // Asked before a batch: a state folder that takes no block of text (a full disk, here
    // a limit on file sizes) says no, and leaves the journal of the last batch as it was.
    TempFolder good;
    std::string before;
    {
        RenameJournal ready(good / "quilvane");
        EXPECT_TRUE(ready.writable());
        ready.announce({{dir / "b", dir / "a"}});
        ready.settle();
        before = TempFolder::readFile(test::newestJournal(good / "quilvane"));
    }
    EXPECT_EQ(test::runWithFileSizeLimit(4096, [&] {
                  RenameJournal full(good / "quilvane");
                  if (full.writable() || full.problem().find("无法写入改名日志") == std::string::npos) std::exit(1);
              }),
              0);
    EXPECT_EQ(TempFolder::readFile(test::newestJournal(good / "quilvane")), before);
    EXPECT_FALSE(RenameJournal(state / "quilvane").writable());
}

}  // namespace
}  // namespace quilvane
