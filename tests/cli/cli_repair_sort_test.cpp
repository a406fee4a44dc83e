// quilvane-cli's repair and sort as a separate process: findings listed without a change,
// doubtful readings left for the user, renames undone; files sorted without loss.
#include <gtest/gtest.h>

#include "cli_process.h"
#include "platform/legacy_text.h"
#include "support/folder_snapshot.h"
#include "support/id3_builder.h"
#include "tags/id3v2.h"

namespace quilvane::test {
namespace {

std::string legacy(const std::string& utf8, LegacyCharset charset = LegacyCharset::Gbk) {
    return encodeLegacy(utf8, charset).value();
}
std::string latin1Frame(const char* id, const std::string& bytes) { return frame(3, id, std::string(1, '\0') + bytes); }
bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string v2Title(const std::string& path) {
    TID3V2 v2;
    v2.LoadTag(path);
    return v2.Frames[TID3V2::Title];
}

using CliRepair = CliTest;

TEST_F(CliRepair, ListsThenRepairsTheSureOnesThenAGivenReadingAndUndoesNames) {
    folder.write("R/legacy.mp3", tag(3, {latin1Frame("TIT2", legacy("后来")), latin1Frame("TPE1", legacy("刘若英"))}) + audio(2000, 1));
    folder.write("R/jay.mp3", tag(3, {latin1Frame("TIT2", legacy("周杰倫", LegacyCharset::Big5))}) + audio(2000, 2));
    folder.write("R/" + legacy("中文") + ".mp3", audio(300, 3));
    folder.write("R/western.mp3", tag(3, {latin1Frame("TPE1", "Bj\xF6rk")}) + audio(2000, 4));
    const auto before = snapshot(folder / "R");

    const CliResult list = cli({"repair", "R"});
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(snapshot(folder / "R"), before);
    EXPECT_TRUE(has(list.out, "legacy.mp3\tID3v2 TIT2（标题）\t\xC2\xBA\xC3\xB3\xC3\x80\xC2\xB4\t后来\tGBK\t")) << list.out;
    EXPECT_TRUE(has(list.out, "中文.mp3\t文件名\t")) << list.out;
    EXPECT_FALSE(has(list.out, "western.mp3")) << "right Latin-1 is not listed";
    EXPECT_TRUE(has(list.out, "looked at 4 files, found 4 to repair (add --apply to repair)")) << list.out;

    const CliResult dry = cli({"repair", "R", "--apply", "--dry-run"});
    EXPECT_EQ(dry.status, 0);
    EXPECT_EQ(snapshot(folder / "R"), before);
    EXPECT_TRUE(has(dry.out, "(dry run: nothing was changed)")) << dry.out;

    const CliResult sure = cli({"repair", "R", "--apply", "--min-confidence", "80"});
    EXPECT_EQ(sure.status, 0) << sure.err;
    EXPECT_TRUE(has(sure.out, "left 1; failed 0")) << sure.out;
    EXPECT_EQ(v2Title(folder / "R/legacy.mp3"), "后来");
    EXPECT_TRUE(folder.exists("R/中文.mp3"));
    const CliResult left = cli({"repair", "R"});
    EXPECT_TRUE(has(left.out, "jay.mp3\tID3v2 TIT2（标题）")) << "the doubtful reading is still to do: " << left.out;
    EXPECT_TRUE(has(left.out, "found 1 to repair")) << left.out;

    const CliResult big5 = cli({"repair", "R", "--apply", "--reading", "big5"});
    EXPECT_EQ(big5.status, 0) << big5.err;
    EXPECT_EQ(v2Title(folder / "R/jay.mp3"), "周杰倫");

    const CliResult undo = cli({"undo"});
    EXPECT_EQ(undo.status, 0) << undo.err;
    EXPECT_TRUE(folder.exists("R/" + legacy("中文") + ".mp3")) << "the repaired name is given back";
    EXPECT_EQ(cli({"repair", "R", "--min-confidence", "200"}).status, 2);
    EXPECT_EQ(cli({"repair", "R", "--reading", "klingon"}).status, 2);
}

using CliSort = CliTest;

TEST_F(CliSort, ByArtistAndCollectMoveEveryFileOnceAndNeverOverAnother) {
    folder.write("S/Tom-a.mp3", "a");
    folder.write("S/Tom-b.mp3", "b");
    folder.write("S/Ann-c.mp3", "c");
    folder.write("S/x.mp3", "x");
    folder.write("S/Sub/Ann-d.mp3", "d");
    folder.write("S/Sub/x.mp3", "another x");
    folder.write("Out/Ann/Ann-c.mp3", "another c");
    const auto before = snapshot(folder.path());
    const auto allContents = contents(folder.path());

    const CliResult dry = cli({"sort", "S", "--target", "Out", "--by", "artist", "--dry-run"});
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(snapshot(folder.path()), before) << "no folder made, nothing moved";
    EXPECT_TRUE(has(dry.out, "S/Tom-a.mp3 -> Out/Tom/Tom-a.mp3\n")) << dry.out;
    EXPECT_TRUE(has(dry.out, "dry run: would sort 2 files, skip 2")) << dry.out;

    const CliResult byArtist = cli({"sort", "S", "--target", "Out", "--by", "artist"});
    EXPECT_EQ(byArtist.status, 0) << byArtist.err;
    EXPECT_EQ(byArtist.out, "sorted 2 files, skipped 2, failed 0\n");
    EXPECT_EQ(folder.read("Out/Tom/Tom-a.mp3"), "a");
    EXPECT_EQ(folder.read("Out/Ann/Ann-c.mp3"), "another c");
    EXPECT_EQ(folder.read("S/Ann-c.mp3"), "c");
    EXPECT_EQ(folder.read("S/Sub/Ann-d.mp3"), "d") << "sub-folders only with --tree";

    EXPECT_EQ(cli({"sort", "S", "--target", "All", "--by", "collect", "--copy"}).status, 2);
    // Two files named x.mp3 meet in one folder: the dry run foresees what the run does.
    const CliResult preview = cli({"sort", "S", "--target", "All", "--by", "collect", "--tree", "--dry-run"});
    EXPECT_EQ(preview.status, 0);
    EXPECT_FALSE(folder.exists("All"));
    EXPECT_TRUE(has(preview.out, "dry run: would sort 3 files, skip 1 (nothing was changed)")) << preview.out;
    const CliResult collect = cli({"sort", "S", "--target", "All", "--by", "collect", "--tree"});
    EXPECT_EQ(collect.status, 0) << collect.err;
    EXPECT_EQ(collect.out, "sorted 3 files, skipped 1, failed 0\n");
    EXPECT_EQ(folder.read("All/Ann-d.mp3"), "d");
    EXPECT_NE(folder.exists("S/x.mp3"), folder.exists("S/Sub/x.mp3")) << "one x.mp3 stays where it was";
    EXPECT_EQ(contents(folder.path()), allContents) << "every file is somewhere, once";

    // Each sorting is a batch of the history: undone the newest first, every file is back.
    EXPECT_TRUE(has(cli({"undo"}).out, "restored 3 names"));
    EXPECT_TRUE(has(cli({"undo"}).out, "restored 2 names"));
    const auto after = snapshot(folder.path());
    for (const auto& [path, print] : before) EXPECT_EQ(after.count(path) ? after.at(path) : "", print) << path;
}

}  // namespace
}  // namespace quilvane::test
