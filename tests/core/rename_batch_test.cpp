// Planned rename batches on real folders: swaps, cycles, shifted numbering, two files
// wanting one name, names held outside the batch, and the undo of all of them.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include "rename/rename_batch.h"
#include "rename/simple_rename.h"
#include "naming/manual_naming.h"
#include "platform/paths.h"
#include "support/folder_snapshot.h"
#include "support/temp_folder.h"

namespace quilvane {
namespace {

using test::snapshot;
using test::TempFolder;

std::string numbered(int n) {
    char name[32];
    std::snprintf(name, sizeof name, "%04d song.mp3", n);
    return name;
}

class PlannedBatch : public ::testing::Test {
protected:
    // Manual naming of the whole folder, as the window does it: entries in list order.
    ManualNamingResult byLines(const std::vector<std::string>& entries, const std::vector<std::string>& lines,
                               bool answer = false) {
        return renameFromLines(ManualNaming{dir.path(), entries, lines, false}, log, count, [&](const std::string& q) {
            questions.push_back(q);
            return answer;
        });
    }
    void undo() {
        const UndoResult result = undoRenames(log, {});
        EXPECT_TRUE(result.failed.empty());
    }

    TempFolder dir;
    UndoList log;
    std::int32_t count = 0;
    std::vector<std::string> questions;
};

TEST_F(PlannedBatch, ASwapAndAThreeCycleAskNothingAndUndoExactly) {
    dir.write("a.mp3", "A");
    dir.write("b.mp3", "B");
    dir.write("x.mp3", "X");
    dir.write("y.mp3", "Y");
    dir.write("z.mp3", "Z");
    const auto before = snapshot(dir.path());
    const auto result = byLines({"a.mp3", "b.mp3", "x.mp3", "y.mp3", "z.mp3"},
                                {"b.mp3", "a.mp3", "y.mp3", "z.mp3", "x.mp3"});
    EXPECT_TRUE(questions.empty());
    EXPECT_EQ(count, 5) << "a parked file counts once";
    EXPECT_TRUE(result.batch.failed.empty());
    EXPECT_EQ(dir.read("b.mp3"), "A");
    EXPECT_EQ(dir.read("a.mp3"), "B");
    EXPECT_EQ(dir.read("y.mp3"), "X");
    EXPECT_EQ(dir.read("z.mp3"), "Y");
    EXPECT_EQ(dir.read("x.mp3"), "Z");
    EXPECT_EQ(dir.names().size(), 5u) << "no parking name left behind";
    EXPECT_EQ(filesRenamedIn(log.records()), 5u);

    undo();
    EXPECT_EQ(snapshot(dir.path()), before);
}

TEST_F(PlannedBatch, AShiftByOneOfAThousandNumberedNames) {
    std::vector<std::string> entries, lines;
    for (int n = 1; n <= 1000; ++n) {
        dir.write(numbered(n), "song " + std::to_string(n));
        entries.push_back(numbered(n));
        lines.push_back(numbered(n + 1));
    }
    const auto before = snapshot(dir.path());
    byLines(entries, lines);
    EXPECT_TRUE(questions.empty());
    EXPECT_EQ(count, 1000);
    EXPECT_FALSE(dir.exists(numbered(1)));
    for (int n = 2; n <= 1001; ++n) ASSERT_EQ(dir.read(numbered(n)), "song " + std::to_string(n - 1));

    undo();
    EXPECT_EQ(snapshot(dir.path()), before);

    // And the other way: each name is freed by the file below it.
    std::vector<std::string> down;
    for (int n = 1; n <= 1000; ++n) down.push_back(numbered(n - 1));
    byLines(entries, down);
    EXPECT_TRUE(questions.empty());
    EXPECT_EQ(dir.read(numbered(0)), "song 1");
    EXPECT_EQ(dir.read(numbered(999)), "song 1000");
}

TEST_F(PlannedBatch, TwoFilesWantingOneNameAndNamesHeldOutside) {
    dir.write("a.mp3", "A");
    dir.write("b.mp3", "B");
    dir.write("keep.mp3", "K");
    dir.write("c.mp3", "C");
    const auto before = snapshot(dir.path());
    // a and b both want "new.mp3"; c wants keep.mp3, whose line keeps it.
    const auto result = byLines({"a.mp3", "b.mp3", "keep.mp3", "c.mp3"}, {"new.mp3", "new.mp3", "keep.mp3", "keep.mp3"});
    EXPECT_EQ(dir.read("new.mp3"), "A") << "the first gets it";
    EXPECT_EQ(dir.read("b.mp3"), "B");
    ASSERT_EQ(result.batch.sameNameAsEarlier.size(), 1u);
    EXPECT_EQ(result.batch.sameNameAsEarlier[0].from, dir / "b.mp3");
    EXPECT_EQ(sameNameText(result.batch.sameNameAsEarlier),
              "以下1个文件要改成的名字已由本批中前面的文件取用，未改名：\nb.mp3 → new.mp3");
    // The name held by a file that stays is asked about, as always; No keeps both.
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0], collisionQuestion(dir / "c.mp3", dir / "keep.mp3"));
    EXPECT_EQ(dir.read("c.mp3"), "C");
    EXPECT_EQ(dir.read("keep.mp3"), "K");
    undo();
    EXPECT_EQ(snapshot(dir.path()), before);
}

// A chain whose far end is held by a file outside the batch: each file of the chain
// finds its name held by one that stays, and is asked about in turn.
TEST_F(PlannedBatch, AChainEndingAtAHeldNameIsAskedAboutAndNothingIsLost) {
    dir.write("1.mp3", "one");
    dir.write("22.mp3", "two");
    dir.write("333.mp3", "three");
    const auto before = snapshot(dir.path());
    const std::vector<std::string> entries{"1.mp3", "22.mp3", "333.mp3"};
    const std::vector<std::string> lines{"22.mp3", "333.mp3", "333.mp3"};  // the last line keeps its name
    byLines(entries, lines);
    EXPECT_EQ(questions.size(), 2u);
    EXPECT_EQ(snapshot(dir.path()), before);

    // Yes deletes the file being renamed (as the question says); its name is then free
    // for the file that wanted it.
    questions.clear();
    byLines(entries, lines, true);
    EXPECT_EQ(questions, std::vector<std::string>{collisionQuestion(dir / "22.mp3", dir / "333.mp3")});
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"22.mp3", "333.mp3"}));
    EXPECT_EQ(dir.read("22.mp3"), "one");
    EXPECT_EQ(dir.read("333.mp3"), "three");
}

// A cycle whose parking name is taken by someone else picks another; when the cycle
// cannot close, the parked file is given its own name back.
TEST_F(PlannedBatch, ACycleThatCannotCloseGivesTheParkedFileItsNameBack) {
    dir.write("a", "A");
    dir.write("b", "B");
    RenameBatch batch;
    batch.add(dir / "a", dir / "b");
    batch.add(dir / "b", dir / "a");
    // Real renames, except that "b" cannot be renamed (a file in use on a network share).
    struct RefuseB final : SysCalls {
        SysCalls& real = realSysCalls();
        std::string refused;
        int renameNoReplace(const std::string& f, const std::string& t) override {
            return f == refused ? EBUSY : real.renameNoReplace(f, t);
        }
        int link(const std::string& f, const std::string& t) override { return real.link(f, t); }
        int unlink(const std::string& p) override { return real.unlink(p); }
        int rename(const std::string& f, const std::string& t) override { return real.rename(f, t); }
        int identify(const std::string& p, FileIdentity& id) override { return real.identify(p, id); }
        bool listsName(const std::string& f, const std::string& n) override { return real.listsName(f, n); }
    } sys;
    sys.refused = dir / "b";
    const BatchOutcome outcome = batch.run(log, [](auto&, auto&) { return HeldName::Skip; }, {}, sys);
    EXPECT_EQ(outcome.renamed, 0);
    EXPECT_EQ(outcome.failed.size(), 2u);
    EXPECT_EQ(dir.read("a"), "A");
    EXPECT_EQ(dir.read("b"), "B");
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"a", "b"}));
}

}  // namespace
}  // namespace quilvane
