// Naming commands against names that are the same file, names that would hide or move
// a file, and a real case-insensitive mount: no file is deleted or lost on the way.
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "rename/name_rules.h"
#include "rename/simple_rename.h"
#include "naming/id3_naming.h"
#include "naming/manual_naming.h"
#include "platform/paths.h"
#include "platform/rename_noreplace.h"
#include "platform/syscalls.h"
#include "rename/rename_journal.h"
#include "rename/rename_record.h"
#include "rename/undo_list.h"
#include "rename/rename_batch.h"
#include "support/folder_snapshot.h"
#include "support/temp_folder.h"
#include "tags/tag_block.h"

namespace quilvane {
namespace {

using test::snapshot;
using test::TempFolder;

struct Naming {
    UndoList log;
    std::int32_t count = 0;
    std::vector<std::string> questions;
    void byLines(const std::string& folder, const std::vector<std::string>& entries,
                 const std::vector<std::string>& lines) {
        renameFromLines(ManualNaming{folder, entries, lines, false}, log, count, [this](const std::string& q) {
            questions.push_back(q);
            return true;  // a user who answers Yes to everything
        });
    }
};

// A line that names another name of the same file is no collision with another file:
// the question that would delete "the former" is never asked.
TEST(NamingSafety, ManualNamingNeverDeletesAFileThatCollidesWithItself) {
    TempFolder dir;
    dir.write("a.mp3", "the only copy");
    ASSERT_EQ(::symlink("a.mp3", (dir / "alias of a.mp3").c_str()), 0);
    ASSERT_EQ(::link((dir / "a.mp3").c_str(), (dir / "hard.mp3").c_str()), 0);
    const auto before = snapshot(dir.path());
    Naming naming;
    naming.byLines(dir.path(), {"a.mp3"}, {"alias of a.mp3"});
    naming.byLines(dir.path(), {"a.mp3"}, {"hard.mp3"});
    EXPECT_TRUE(naming.questions.empty());
    EXPECT_EQ(snapshot(dir.path()), before);
    EXPECT_EQ(naming.count, 0);

    // A real other file still asks, and Yes still deletes the entry being renamed.
    dir.write("other one.mp3", "other");
    naming.byLines(dir.path(), {"hard.mp3"}, {"other one.mp3"});
    EXPECT_EQ(naming.questions.size(), 1u);
    EXPECT_FALSE(dir.exists("hard.mp3"));
    EXPECT_EQ(dir.read("a.mp3"), "the only copy");
}

TEST(NamingSafety, NamesThatWouldHideOrMoveAFileAreNotApplied) {
    TempFolder dir;
    dir.makeFolder("Music/sub");
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3", "d.mp3", "e.mp3"}) dir.write(std::string("Music/") + name, name);
    Naming naming;
    naming.byLines(dir / "Music", {"a.mp3", "b.mp3", "c.mp3", "d.mp3", "e.mp3"},
                   {"sub/../../x.mp3", ".hidden.mp3", "sub/.x.mp3", "sub//x.mp3", "sub/e.mp3"});
    EXPECT_EQ(dir.names("Music"), (std::vector<std::string>{"a.mp3", "b.mp3", "c.mp3", "d.mp3", "sub"}));
    EXPECT_EQ(dir.names("Music/sub"), std::vector<std::string>{"e.mp3"}) << "a path below the folder is kept";
    EXPECT_FALSE(dir.exists("x.mp3"));
    EXPECT_EQ(naming.count, 1);

    // Simple naming: a typed artist with '/', and "歌名" of a name that leaves only
    // its extension or nothing after the separator.
    dir.write("Tom/Rain.mp3");
    dir.write("Tom/abc-.mp3");
    dir.write("Tom/abc-");
    SimpleNaming artist{NameStyle::ArtistInFront, "-", std::string("AC/DC")};
    SimpleNaming title{NameStyle::AfterSeparator, "-", std::nullopt};
    RenameSession session{naming.log, naming.count, [](const std::string&) { return true; }};
    EXPECT_EQ(renameBySimpleRule(dir / "Tom", dir / "Tom/Rain.mp3", artist, session), RenameOutcome::LeftAsIs);
    EXPECT_EQ(renameBySimpleRule(dir / "Tom", dir / "Tom/abc-.mp3", title, session), RenameOutcome::LeftAsIs);
    EXPECT_EQ(renameBySimpleRule(dir / "Tom", dir / "Tom/abc-", title, session), RenameOutcome::LeftAsIs);
    EXPECT_EQ(dir.names("Tom"), (std::vector<std::string>{"Rain.mp3", "abc-", "abc-.mp3"}));
    EXPECT_EQ(naming.count, 1);
}

TEST(NamingSafety, TemplatesSkipWholeCharactersAndNeverBuildHiddenNames) {
    const TagBlock tag = buildTagBlock("...Baby One More Time", "Britney", "", "1999", "", 13);
    const std::string built = buildId3Name("T", tag, "-");
    EXPECT_EQ(built, "...Baby One More Time.mp3");
    EXPECT_FALSE(isApplicableName(built)) << "it would hide the file";
    // The character after 'A' is skipped whole, so a Chinese one never leaves a broken
    // UTF-8 sequence in the name.
    EXPECT_EQ(buildId3Name("A中T", tag, "-"), "...Baby One More Time.mp3");
    EXPECT_EQ(buildId3Name("Ar中T", tag, "-"), "Britney中...Baby One More Time.mp3");
}

// FAT through FUSE gives each spelling of a name its own inode number; a change of
// letter case must still go through.
TEST(NamingSafety, ACaseOnlyRenameOnARealFatMount) {
    if (std::system("command -v fusefat >/dev/null && command -v mkfs.vfat >/dev/null && test -e /dev/fuse") != 0)
        GTEST_SKIP() << "fusefat, dosfstools or /dev/fuse missing: the FAT mount is not tested";
    TempFolder dir;
    const std::string image = dir / "fat.img";
    const std::string mount = dir.makeFolder("mnt");
    if (std::system(("mkfs.vfat -C '" + image + "' 4096 >/dev/null 2>&1 && fusefat -o rw+ '" + image + "' '" + mount +
                     "' >/dev/null 2>&1")
                        .c_str()) != 0)
        GTEST_SKIP() << "the FAT image could not be mounted here (FUSE not permitted)";
    struct Unmount {
        std::string path;
        ~Unmount() { std::system(("fusermount -u '" + path + "' 2>/dev/null || umount -l '" + path + "'").c_str()); }
    } unmount{mount};

    dir.write("mnt/rain.mp3", "rain");
    dir.write("mnt/snow.mp3", "snow");
    EXPECT_TRUE(isCaseAlias(mount + "/rain.mp3", mount + "/RAIN.mp3"));
    EXPECT_TRUE(sameEntry(mount + "/rain.mp3", mount + "/Rain.mp3"));
    EXPECT_EQ(renameWithoutReplacing(mount + "/rain.mp3", mount + "/Rain.mp3"), 0);
    EXPECT_EQ(renameWithoutReplacing(mount + "/Rain.mp3", mount + "/SNOW.mp3"), EEXIST);

    // In a batch, the hidden step of a change of case is journaled like the parking of a
    // swap, so a kill between its two steps can be undone; undone, it reads as before.
    {
        RenameJournal journal(dir / "case-state");
        UndoList log;
        log.keepJournal(&journal);
        RenameBatch batch;
        batch.add(mount + "/Rain.mp3", mount + "/rain.mp3");
        EXPECT_EQ(batch.run(log, [](const std::string&, const std::string&) { return HeldName::Skip; }).renamed, 1);
        EXPECT_EQ(dir.names("mnt"), (std::vector<std::string>{"rain.mp3", "snow.mp3"}));
        ASSERT_EQ(log.size(), 2u);
        EXPECT_TRUE(isParkingName(log.records()[0].newPath)) << "the parking step is in the journal";
        EXPECT_EQ(undoRenames(log, {}).restored, 1);
        EXPECT_EQ(dir.names("mnt"), (std::vector<std::string>{"Rain.mp3", "snow.mp3"}));
    }

    // Manual naming of a case change: renamed, and nothing deleted on the way.
    Naming naming;
    naming.byLines(mount, {"snow.mp3"}, {"Snow Song.mp3"});
    naming.byLines(mount, {"Rain.mp3"}, {"RAIN.MP3"});
    EXPECT_TRUE(naming.questions.empty());
    EXPECT_EQ(dir.names("mnt"), (std::vector<std::string>{"RAIN.MP3", "Snow Song.mp3"}));
    EXPECT_EQ(dir.read("mnt/RAIN.MP3"), "rain");
    EXPECT_EQ(dir.read("mnt/Snow Song.mp3"), "snow");

    // After a crash, where identities prove nothing: a swap announced and never begun is
    // not taken for one made, and a plain rename made but not marked is still found.
    dir.write("mnt/x.mp3", "x");
    dir.write("mnt/y.mp3", "y");
    dir.write("mnt/b1.mp3", "b");
    const auto id = [](const std::string& path) {
        FileIdentity found{};
        realSysCalls().identify(path, found);
        return found;
    };
    const std::string park = mount + "/.quilvane-swap-9-0";
    {
        RenameJournal journal(dir / "state");
        journal.announce({{park, mount + "/x.mp3", id(mount + "/x.mp3")},
                          {mount + "/x.mp3", mount + "/y.mp3", id(mount + "/y.mp3")},
                          {mount + "/y.mp3", park, id(mount + "/x.mp3")},
                          {mount + "/b2.mp3", mount + "/b1.mp3", id(mount + "/b1.mp3")}});
        ASSERT_EQ(renameWithoutReplacing(mount + "/b1.mp3", mount + "/b2.mp3"), 0);
    }
    RenameJournal journal(dir / "state");
    const auto batch = journal.load();
    ASSERT_TRUE(batch);
    EXPECT_EQ(batch->renames, (std::vector<RenameRecord>{{mount + "/b2.mp3", mount + "/b1.mp3"}}));
}

}  // namespace
}  // namespace quilvane
