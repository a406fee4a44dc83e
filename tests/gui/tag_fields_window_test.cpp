// One ID3v1 field of every file into the editing area and back, and the look-up of
// typed names among the list's entries, through the main window.
#include "platform/codepage.h"
#include "platform/paths.h"
#include "platform/qt/qtext.h"
#include "support/folder_snapshot.h"
#include "support/gui_fixture.h"
#include "support/id3_builder.h"
#include "support/python_runner.h"
#include "tags/tag_block.h"

namespace quilvane::test {
namespace {

std::string tagged(const std::string& title, std::uint8_t genre = 17, const std::string& comment = "note") {
    const TagBlock b = buildTagBlock(title, "Artist", "Album", "1999", comment, genre);
    return audio(300) + std::string(b.bytes.data(), 128);
}

using TagFields = WindowTest;

TEST_F(TagFields, ExtractGivesOneLinePerEntry) {
    folder.write("a.mp3", tagged("Alpha", 17));
    folder.write("b.txt", "text");
    folder.write("c.MP3", tagged("Gamma", 255));
    folder.write("d.mp3", audio(300));  // no ID3v1 tag
    openWindows();
    trigger("N24");  // 提取标题
    EXPECT_EQ(form().ui.Memo1->toPlainText(), "Alpha\n\nGamma\n") << "four lines, the last one empty";
    trigger("N29");  // 提取流派
    EXPECT_EQ(form().ui.Memo1->toPlainText(), "Rock\n\n\n") << "genre 255 has no name";
    EXPECT_FALSE(form().ui.Button1->isEnabled()) << "no backup is taken";
    trigger("N39");  // 列举所有流派
    ASSERT_EQ(form().memoLines().size(), 148);
    EXPECT_EQ(form().memoLines().front(), "Blues");
    EXPECT_EQ(form().memoLines().back(), "Synthpop");
}

TEST_F(TagFields, WriteBackChangesOnlyItsFieldAndCountsWhatItWrote) {
    for (const char* name : {"1.mp3", "2.mp3", "3.mp3", "4.mp3", "5.mp3"}) folder.write(name, tagged("Same"));
    openWindows();
    // Three lines for five entries: the first three only.
    form().setMemoLines({"Same", "A title of thirty-five characters!!", "  padded  "});
    trigger("N30");  // 修改标题
    EXPECT_EQ(status(), "2个文件修改标题成功，其中1个超出ID3v1的宽度，已截短") << "an equal title is neither written nor counted";
    EXPECT_EQ(readTagBlock(folder / "2.mp3").field(tagfield::Title), "A title of thirty-five charact");
    EXPECT_EQ(readTagBlock(folder / "2.mp3").field(tagfield::Artist), "Artist");
    EXPECT_EQ(readTagBlock(folder / "3.mp3").field(tagfield::Title), "padded");
    EXPECT_EQ(readTagBlock(folder / "4.mp3").field(tagfield::Title), "Same");

    // Five lines on three entries: the last two are ignored.
    folder.write("x.mp3", tagged("Same"));
    trigger("N52");  // 刷新
    form().setMemoLines({"2004", "2004", "2004", "2004", "2004", "2004", "2004"});
    trigger("N33");  // 修改时间
    EXPECT_EQ(status(), "6个文件修改时间成功");
    EXPECT_EQ(readTagBlock(folder / "1.mp3").field(tagfield::Comment), "note") << "the year leaves the comment";

    // A stored title with trailing blanks differs from the trimmed line.
    folder.write("1.mp3", audio(300) + std::string(buildTagBlock("Pad   ", "", "", "", "", 1).bytes.data(), 128));
    form().setMemoLines({"Pad"});
    trigger("N30");
    EXPECT_EQ(status(), "1个文件修改标题成功");
}

TEST_F(TagFields, GenresAreWrittenAsNumbersOrNamesAndRoundTrip) {
    folder.write("a.mp3", tagged("A", 17));
    folder.write("b.mp3", tagged("B", 17));
    folder.write("c.mp3", tagged("C", 17));
    folder.write("d.mp3", tagged("D", 17));
    openWindows();
    form().setMemoLines({"17", "300", "$1F", "-1"});
    trigger("N35");  // 修改流派
    EXPECT_EQ(status(), "3个文件修改流派成功") << "17 on genre 17 writes nothing";
    EXPECT_EQ(readTagBlock(folder / "b.mp3").genre(), 44);
    EXPECT_EQ(readTagBlock(folder / "c.mp3").genre(), 31);
    EXPECT_EQ(readTagBlock(folder / "d.mp3").genre(), 255);

    // Names as "提取流派" shows them, in any letter case; "提取流派" then "修改流派" changes nothing.
    form().setMemoLines({"pop", "Hard Rock"});
    trigger("N35");
    EXPECT_EQ(readTagBlock(folder / "a.mp3").genre(), 13);
    EXPECT_EQ(readTagBlock(folder / "b.mp3").genre(), 79);
    const std::string before = folder.read("c.mp3") + folder.read("d.mp3");
    trigger("N29");  // 提取流派
    trigger("N35");
    EXPECT_EQ(status(), "0个文件修改流派成功");
    EXPECT_EQ(folder.read("c.mp3") + folder.read("d.mp3"), before);

    // Two signs make no number: the run stops there, what came before stays written.
    for (const char* twoSigns : {"--5", "+-3", "0x-2"}) {
        form().setMemoLines({"0x10", twoSigns});
        prompts.expectError(QStringLiteral("'%1' is not a valid integer value").arg(twoSigns));
        const QString shown = status();
        trigger("N35");
        EXPECT_EQ(readTagBlock(folder / "b.mp3").genre(), 79) << twoSigns;
        EXPECT_EQ(status(), shown) << "no status text";
    }
    EXPECT_EQ(readTagBlock(folder / "a.mp3").genre(), 16) << "the files before the failure stay written";
}

TEST_F(TagFields, AFileWithoutATagGetsANewOneAndAnUnreadableOneStopsTheRun) {
    folder.write("a.mp3", audio(300));
    folder.write("b.mp3", tagged("B"));
    openWindows();
    form().setMemoLines({"New title", "B2"});
    trigger("N30");
    EXPECT_EQ(status(), "2个文件修改标题成功");
    const TagBlock fresh = readTagBlock(folder / "a.mp3");
    EXPECT_TRUE(fresh.isTag());
    EXPECT_EQ(fresh.field(tagfield::Title), "New title");
    EXPECT_EQ(fresh.field(tagfield::Artist), "");
    EXPECT_EQ(fresh.genre(), 255);
    EXPECT_EQ(folder.read("a.mp3").size(), 300u + 128u);

    // A file gone since the list was read: the run stops there and names it; the files
    // before it stay written.
    folder.write("c.mp3", tagged("C"));
    trigger("N52");
    ::unlink((folder / "b.mp3").c_str());
    form().setMemoLines({"Another", "B3", "C3"});
    prompts.expectError("Cannot open file " + toQ(folder / "b.mp3"));
    trigger("N30");
    EXPECT_EQ(readTagBlock(folder / "a.mp3").field(tagfield::Title), "Another");
    EXPECT_EQ(readTagBlock(folder / "c.mp3").field(tagfield::Title), "C");
}

TEST_F(TagFields, SearchingNamesAmongTheEntries) {
    folder.write("Alpha.mp3", tagged("A"));
    folder.write("Beta.mp3", audio(300) + std::string(buildTagBlock("B", "", "Beta album", "2001", "", 1).bytes.data(), 128));
    folder.write("Gamma.mp3", audio(300));
    openWindows();
    form().setMemoLines({"beta", "delta"});
    trigger("N37");  // 搜索多个文件
    EXPECT_EQ(form().ui.Memo1->toPlainText(), "\nBeta.mp3\n");
    EXPECT_EQ(list().itemIndex(), 1);
    EXPECT_EQ(status(), "delta|没找到");

    form().setMemoLines({"BETA", "gamma"});
    trigger("MP32");  // 提取指定MP3专辑信息
    EXPECT_EQ(form().ui.Memo1->toPlainText(), "\nBeta album\n") << "no tag: an empty line";
    form().setMemoLines({"be"});
    trigger("MP33");
    EXPECT_EQ(form().ui.Memo1->toPlainText(), "\n2001\n");

    form().setMemoLines({"   "});
    trigger("N37");
    EXPECT_EQ(form().ui.Memo1->toPlainText(), "Alpha.mp3\n\n") << "a blank line matches the first entry";

    form().setMemoLines({});
    prompts.expectNotice("先在编辑框指定文件名");
    trigger("N37");
}

// A folder of old tags, Chinese and Western: extract the titles, change one line, write
// back. Only that file changes, and every reader sees its new title.
TEST_F(TagFields, OnlyTheEditedFileOfALegacyFolderChanges) {
    const auto block = [](const std::string& title) {
        return std::string(buildTagBlock(title, "", "", "", "", 13).bytes.data(), 128);
    };
    folder.write("1.mp3", audio(200) + block(utf8ToLegacy("后来", LegacyCharset::Gbk)));
    folder.write("2.mp3", audio(200) + block("Bj\xF6rk"));
    folder.write("3.mp3", audio(200) + block(utf8ToLegacy("十年", LegacyCharset::Gbk)));
    openWindows();
    trigger("N24");
    ASSERT_EQ(form().memoLines(), (QStringList{"后来", "Björk", "十年"}));
    const auto before = snapshot(folder.path());
    form().setMemoLines({"后来", "Jóga", "十年"});
    trigger("N30");
    EXPECT_EQ(status(), "1个文件修改标题成功");
    const auto after = snapshot(folder.path());
    EXPECT_EQ(after.at("1.mp3"), before.at("1.mp3"));
    EXPECT_EQ(after.at("3.mp3"), before.at("3.mp3"));
    EXPECT_NE(after.at("2.mp3"), before.at("2.mp3"));
    trigger("N24");
    EXPECT_EQ(form().memoLines()[1], "Jóga");
    const auto read = runPython(R"PY(
import sys
from mutagen.id3._id3v1 import ParseID3v1
with open(sys.argv[1], 'rb') as f:
    f.seek(-128, 2)
    print('title=' + ParseID3v1(f.read(128))['TIT2'].text[0].encode('utf-8').hex())
)PY", {folder / "2.mp3"});
    ASSERT_EQ(read.exitCode, 0) << read.output;
    EXPECT_EQ(read.values.at("title"), "Jóga") << "Latin-1 in a Latin-1 tag, as every reader takes it";
}

}  // namespace
}  // namespace quilvane::test
