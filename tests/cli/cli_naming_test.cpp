// quilvane-cli's naming commands and undo, run as a separate process on real folders: dry
// runs that touch nothing, GBK names, names taken by other files, swaps, exit statuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "cli_process.h"
#include "platform/legacy_text.h"
#include "support/folder_snapshot.h"
#include "support/journal_files.h"
#include "support/id3_builder.h"
#include "tags/tag_block.h"

namespace quilvane::test {
namespace {

std::string gbk(const std::string& utf8) { return encodeLegacy(utf8, LegacyCharset::Gbk).value(); }

std::string taggedMp3(const std::string& title, const std::string& artist, unsigned seed) {
    const TagBlock tag = buildTagBlock(title, artist, "", "2001", "", 17);
    return audio(1500, seed) + std::string(tag.bytes.data(), 128);
}

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

using CliNaming = CliTest;

TEST_F(CliNaming, SimpleNamingDryRunThenRealThenUndoWithGbkNames) {
    folder.write("Work/Tom-a.mp3", "a");
    folder.write("Work/" + gbk("王菲-红豆") + ".mp3", "red");
    folder.write("Work/plain.mp3", "plain");
    const auto before = snapshot(folder / "Work");

    CliResult dry = cli({"name", "simple", "Work", "--style", "title", "--dry-run"});
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(snapshot(folder / "Work"), before) << "a dry run touches nothing";
    EXPECT_TRUE(has(dry.out, "Tom-a.mp3 -> a.mp3\n")) << dry.out;
    EXPECT_TRUE(has(dry.out, "王菲-红豆.mp3 -> 红豆.mp3\n")) << "GBK names shown decoded: " << dry.out;
    EXPECT_TRUE(has(dry.out, "dry run: would rename 2, could not rename 0, other failures 0 (nothing was changed)")) << dry.out;
    EXPECT_TRUE(journalFiles(stateHome / "quilvane").empty()) << "a dry run journals nothing";

    const CliResult zh = cli({"name", "simple", "Work", "--style", "title", "--dry-run"}, "zh_CN.UTF-8");
    EXPECT_TRUE(has(zh.out, "试运行：将改名 2 个")) << zh.out;

    const CliResult real = cli({"name", "simple", "Work", "--style", "title"});
    EXPECT_EQ(real.status, 0) << real.err;
    EXPECT_EQ(real.out, "renamed 2, not renamed 0, other failures 0\n");
    EXPECT_EQ(folder.read("Work/a.mp3"), "a");
    EXPECT_EQ(folder.read("Work/红豆.mp3"), "red") << "the GBK name's new name is written in UTF-8";

    const CliResult undoDry = cli({"undo", "--dry-run"});
    EXPECT_EQ(undoDry.status, 0) << undoDry.err;
    EXPECT_TRUE(has(undoDry.out, "would restore 2 names")) << undoDry.out;
    EXPECT_NE(snapshot(folder / "Work"), before);
    const CliResult undo = cli({"undo"});
    EXPECT_EQ(undo.status, 0) << undo.err;
    EXPECT_EQ(snapshot(folder / "Work"), before) << "undo gives back every name, byte for byte";
    EXPECT_EQ(cli({"undo"}).out, "there is no rename to undo\n");
}

// A batch named from inside its folder ("."), undone from elsewhere; an undo that can
// take nothing back keeps the batch for a later try.
TEST_F(CliNaming, AnUndoFromAnotherFolderAndAnUndoThatFailsKeepTheWayBack) {
    folder.write("Work/Tom-a.mp3", "a");
    folder.write("Work/Tom-b.mp3", "b");
    const auto before = snapshot(folder / "Work");
    workingFolder = folder / "Work";
    ASSERT_EQ(cli({"name", "simple", ".", "--style", "title"}).status, 0);
    ASSERT_EQ(cli({"name", "simple", "./", "--style", "title", "--dry-run"}).status, 0);
    workingFolder = stateHome.path();
    folder.write("Work/Tom-a.mp3", "taken");
    folder.write("Work/Tom-b.mp3", "taken");
    const CliResult blocked = cli({"undo"});
    EXPECT_EQ(blocked.status, 1);
    EXPECT_TRUE(has(blocked.out, "restored 0 names, could not restore 2")) << blocked.out;
    ::unlink((folder / "Work/Tom-a.mp3").c_str());
    ::unlink((folder / "Work/Tom-b.mp3").c_str());
    const CliResult undo = cli({"undo"});
    EXPECT_EQ(undo.status, 0) << undo.err << undo.out;
    EXPECT_EQ(snapshot(folder / "Work"), before);
}

// A batch that could not be undone does not start, unless --no-undo says so.
TEST_F(CliNaming, NoRenameWithoutAJournalUnlessAskedFor) {
    folder.write("Work/Tom-a.mp3", "a");
    stateHome.write("quilvane", "a file where the state folder should be");
    const auto before = snapshot(folder / "Work");
    const CliResult refused = cli({"name", "simple", "Work", "--style", "title"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_TRUE(has(refused.err, "nothing was changed (add --no-undo to rename anyway)")) << refused.err;
    EXPECT_EQ(snapshot(folder / "Work"), before);
    const CliResult anyway = cli({"name", "simple", "Work", "--style", "title", "--no-undo"});
    EXPECT_EQ(anyway.status, 0) << anyway.err;
    EXPECT_EQ(folder.read("Work/a.mp3"), "a");
}

// A batch cut short (Ctrl-C), then another: neither replaces the other in the history,
// `undo --list` shows both, and two undos give every name back, the newest first.
TEST_F(CliNaming, BatchesStayInTheHistoryUntilEachIsUndone) {
    for (int i = 0; i < 3; ++i) folder.write("One/Tom-" + std::to_string(i) + ".mp3", "one");
    folder.write("Two/Ann-x.mp3", "two");
    const auto before = snapshot(folder.path());
    ASSERT_EQ(cli({"name", "simple", "One", "--style", "title"}).status, 0);
    // What a crash leaves: the batch's file, its last renames not marked.
    const std::string crashed = newestJournal(stateHome / "quilvane");
    std::string text = TempFolder::readFile(crashed);
    text = text.substr(0, text.rfind("d "));
    { std::ofstream(crashed, std::ios::binary | std::ios::trunc) << text; }
    ASSERT_EQ(cli({"name", "simple", "Two", "--style", "title"}).status, 0);
    EXPECT_EQ(journalFiles(stateHome / "quilvane").size(), 2u);

    const CliResult listed = cli({"undo", "--list"});
    const auto lines = linesOf(listed.out);
    ASSERT_EQ(lines.size(), 2u) << listed.out;
    EXPECT_TRUE(has(lines[0], "name simple --style title  1 files  " + folder / "Two")) << lines[0];
    EXPECT_TRUE(has(lines[1], "3 files  " + folder / "One")) << lines[1];

    EXPECT_TRUE(has(cli({"undo"}).out, "restored 1 names")) << "the newest first";
    EXPECT_TRUE(folder.exists("Two/Ann-x.mp3"));
    EXPECT_FALSE(folder.exists("One/Tom-0.mp3"));
    EXPECT_TRUE(has(cli({"undo"}).out, "restored 3 names"));
    EXPECT_EQ(snapshot(folder.path()), before);
    EXPECT_EQ(cli({"undo"}).out, "there is no rename to undo\n");
}

TEST_F(CliNaming, TemplateOverATreeLeavesTakenNamesAloneAndSaysSo) {
    folder.write("Tree/A/1.mp3", taggedMp3("Song1", "Tom", 1));
    folder.write("Tree/B/2.mp3", taggedMp3(gbk("红豆"), gbk("王菲"), 2));
    folder.write("Tree/B/3.mp3", taggedMp3("Song3", "Ann", 3));
    folder.write("Tree/B/Ann-Song3.mp3", "another file that holds the name");
    folder.write("Tree/B/notes.txt", "not an MP3 file");
    const auto before = snapshot(folder / "Tree");

    const CliResult dry = cli({"name", "template", "Tree", "--template", "Ar_T", "--tree", "--dry-run"});
    EXPECT_EQ(dry.status, 1) << "one name is taken";
    EXPECT_EQ(snapshot(folder / "Tree"), before);
    EXPECT_TRUE(has(dry.out, "A/1.mp3 -> A/Tom-Song1.mp3\n")) << dry.out;
    EXPECT_TRUE(has(dry.out, "B/2.mp3 -> B/王菲-红豆.mp3\n")) << dry.out;

    const CliResult real = cli({"name", "template", "Tree", "--template", "Ar_T", "--tree"});
    EXPECT_EQ(real.status, 1);
    EXPECT_TRUE(has(real.err, "name taken by another file, not renamed: B/3.mp3 -> B/Ann-Song3.mp3")) << real.err;
    EXPECT_EQ(real.out, "renamed 2, not renamed 1, other failures 0\n");
    const auto after = snapshot(folder / "Tree");
    EXPECT_TRUE(after.contains("A/Tom-Song1.mp3"));
    EXPECT_TRUE(after.contains("B/王菲-红豆.mp3")) << "names from GBK tags are written in UTF-8";
    EXPECT_EQ(after.at("B/3.mp3"), before.at("B/3.mp3"));
    EXPECT_EQ(after.at("B/Ann-Song3.mp3"), before.at("B/Ann-Song3.mp3")) << "the holder is never touched";
    EXPECT_EQ(after.size(), before.size());
}

TEST_F(CliNaming, LinesSwapNamesAndCountLinesAgainstFiles) {
    folder.write("Lines/a.mp3", "A");
    folder.write("Lines/b.mp3", "B");
    folder.write("Lines/c.mp3", "C");
    folder.write("names.txt", "b.mp3\r\na.mp3\r\nd.mp3\r\n");
    const CliResult real = cli({"name", "lines", "Lines", "--from", "names.txt", "--verbose"});
    EXPECT_EQ(real.status, 0) << real.err;
    EXPECT_EQ(folder.read("Lines/a.mp3"), "B");
    EXPECT_EQ(folder.read("Lines/b.mp3"), "A");
    EXPECT_EQ(folder.read("Lines/d.mp3"), "C");
    EXPECT_TRUE(has(real.out, "a.mp3 -> b.mp3\n")) << "a swap is shown as it is, not through its parking name: " << real.out;
    EXPECT_FALSE(has(real.out, ".quilvane-swap")) << real.out;

    const CliResult piped = cli({"name", "lines", "Lines", "--from", "-", "--dry-run"}, "C.UTF-8", "x.mp3\ny.mp3\nz.mp3\n");
    EXPECT_EQ(piped.status, 0) << piped.err;
    EXPECT_TRUE(has(piped.out, "a.mp3 -> x.mp3\nb.mp3 -> y.mp3\nd.mp3 -> z.mp3\n")) << "names from standard input: " << piped.out;

    folder.write("short.txt", "x.mp3\n");
    const CliResult fewer = cli({"name", "lines", "Lines", "--from", "short.txt", "--dry-run"});
    EXPECT_EQ(fewer.status, 0);
    EXPECT_TRUE(has(fewer.err, "short.txt has 1 lines for 3 files")) << fewer.err;
}

// A hostile batch: a swap, a three-cycle, two lines asking for one name, a name kept by a
// file that stays. The dry run's list and counts are exactly what the real run then does.
TEST_F(CliNaming, ADryRunForeseesAHostileBatchExactly) {
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3", "d.mp3", "e.mp3", "f.mp3", "g.mp3", "keep.mp3"})
        folder.write(std::string("H/") + name, name);
    // List order: a b c d e f g keep.
    folder.write("names.txt", "b.mp3\na.mp3\nd.mp3\ne.mp3\nc.mp3\nnew.mp3\nnew.mp3\nkeep.mp3\n");
    const auto before = snapshot(folder / "H");
    const auto everything = contents(folder / "H");
    const CliResult dry = cli({"name", "lines", "H", "--from", "names.txt", "--dry-run"});
    EXPECT_EQ(snapshot(folder / "H"), before);
    const CliResult real = cli({"name", "lines", "H", "--from", "names.txt", "--verbose"});
    EXPECT_EQ(dry.status, 1) << "g.mp3 cannot have new.mp3: " << dry.err;
    EXPECT_EQ(real.status, dry.status);
    std::vector<std::string> planned = linesOf(dry.out), made = linesOf(real.out);
    ASSERT_FALSE(planned.empty());
    EXPECT_EQ(planned.back(), "dry run: would rename 6, could not rename 1, other failures 0 (nothing was changed)");
    EXPECT_EQ(made.back(), "renamed 6, not renamed 1, other failures 0");
    planned.pop_back();
    made.pop_back();
    std::sort(planned.begin(), planned.end());
    std::sort(made.begin(), made.end());
    EXPECT_EQ(planned, made) << "the same renames";
    EXPECT_EQ(dry.err, real.err) << "the same file named as not renamed";
    EXPECT_EQ(folder.read("H/a.mp3"), "b.mp3");
    EXPECT_EQ(folder.read("H/c.mp3"), "e.mp3");
    EXPECT_EQ(folder.read("H/new.mp3"), "f.mp3");
    EXPECT_EQ(folder.read("H/g.mp3"), "g.mp3");
    EXPECT_EQ(contents(folder / "H"), everything) << "nothing lost";

    // Now listed a b c d e g keep new: g asks for a name of its own length that a keeps
    // (refused by the rename itself), new for a name keep keeps (left alone). The dry run
    // says so exactly as the run does.
    folder.write("names2.txt", "a.mp3\nb.mp3\nc.mp3\nd.mp3\ne.mp3\na.mp3\nkeep.mp3\nkeep.mp3\n");
    const auto middle = snapshot(folder / "H");
    const CliResult dry2 = cli({"name", "lines", "H", "--from", "names2.txt", "--dry-run"});
    EXPECT_EQ(snapshot(folder / "H"), middle);
    const CliResult real2 = cli({"name", "lines", "H", "--from", "names2.txt"});
    EXPECT_EQ(real2.status, 1);
    EXPECT_TRUE(has(real2.err, "rename failed: g.mp3 -> a.mp3")) << real2.err;
    EXPECT_TRUE(has(real2.err, "name taken by another file, not renamed: new.mp3 -> keep.mp3")) << real2.err;
    EXPECT_EQ(dry2.err, real2.err);
    EXPECT_EQ(dry2.out, "dry run: would rename 0, could not rename 2, other failures 0 (nothing was changed)\n");
    EXPECT_EQ(snapshot(folder / "H"), middle);
}

TEST_F(CliNaming, BadUsageExitsWithTwoAndChangesNothing) {
    folder.write("Work/Tom-a.mp3", "a");
    const auto before = snapshot(folder.path());
    const std::vector<std::vector<std::string>> wrong{
        {"name", "simple", "Work"},                                   // no --style
        {"name", "simple", "Work", "--style", "sideways"},            // unknown style
        {"name", "simple", "Missing", "--style", "title"},            // not a folder
        {"name", "simple", "Work", "--style", "title", "--separator", "--"},  // two characters
        {"name", "simple", "Work", "Other", "--style", "title"},      // two folders
        {"name", "template", "Work", "--template"},                   // no value
        {"name", "lines", "Work", "--from", "missing.txt"},           // unreadable names
        {"name", "guess", "Work"},
        {"rename", "Work"},
        {"name", "simple", "Work", "--style", "title", "--frobnicate"},
        {"name", "simple", "Work", "--style", "title", "--tree=yes"}};
    for (const auto& words : wrong) {
        const CliResult r = cli(words);
        std::string line;
        for (const std::string& w : words) line += w + " ";
        EXPECT_EQ(r.status, 2) << line << r.out << r.err;
        EXPECT_TRUE(has(r.err, "quilvane-cli: ")) << line;
    }
    EXPECT_EQ(snapshot(folder.path()), before);
    EXPECT_EQ(cli({}).status, 2) << "nothing to do is bad usage";
}

TEST_F(CliNaming, HelpInEnglishAndChinese) {
    const CliResult en = cli({"--help"});
    EXPECT_EQ(en.status, 0);
    for (const char* command : {"name simple", "name template", "name lines", "undo", "tags show", "tags set", "tags copy",
                                "tags remove", "repair DIR", "sort DIR", "--dry-run", "Exit status"})
        EXPECT_TRUE(has(en.out, command)) << command;
    const CliResult zh = cli({"name", "--help"}, "zh_CN.UTF-8");
    EXPECT_EQ(zh.status, 0);
    EXPECT_TRUE(has(zh.out, "简单命名")) << zh.out;
    EXPECT_FALSE(has(zh.out, "tags show")) << "a command's help is its own";
}

}  // namespace
}  // namespace quilvane::test
