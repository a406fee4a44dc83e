// The line transforms, text files of names, the line-to-entry helpers and manual naming
// in the core.
#include <functional>
#include <gtest/gtest.h>
#include <tuple>

#include "editing/line_transforms.h"
#include "editing/list_correspondence.h"
#include "editing/name_files.h"
#include "naming/manual_naming.h"
#include "platform/codepage.h"
#include "support/temp_folder.h"

namespace quilvane {
namespace {

using test::TempFolder;

Lines transformed(Lines lines, const std::function<void(Lines&)>& transform) {
    transform(lines);
    return lines;
}

TEST(LineTransforms, CaseDigitsAndSeparators) {
    EXPECT_EQ(transformed({"abc", "abc.", "   ", " my song.Mp3", "中文.mp3"}, upperCaseNames),
              (Lines{"ABC", "ABC.", "   ", " MY SONG.Mp3", "中文.mp3"}));
    EXPECT_EQ(transformed({"My Song.MP3"}, lowerCaseNames), Lines{"my song.MP3"});
    EXPECT_EQ(transformed({"a.b.mp3"}, upperCaseNames), Lines{"A.B.mp3"}) << "only the extension keeps its case";
    EXPECT_EQ(transformed({"2004", "  12abc  ", "   ", "01 - Song.mp3", ""}, stripLeadingDigits),
              (Lines{"2004", "abc", "   ", " - Song.mp3", ""}));
    const auto before = [](std::string sep) { return [sep](Lines& l) { cutBeforeSeparator(l, sep); }; };
    const auto after = [](std::string sep) { return [sep](Lines& l) { cutAfterSeparator(l, sep); }; };
    EXPECT_EQ(transformed({"AB-", "AB", " x - y - z ", "  "}, before("-")), (Lines{"", "AB", " y - z", "  "}));
    EXPECT_EQ(transformed({"-AB", " x - y - z "}, after("-")), (Lines{"", "x - y "}));
    EXPECT_EQ(transformed({"甲之乙之丙"}, before("之")), Lines{"乙之丙"});
    EXPECT_EQ(transformed({"甲之乙之丙"}, after("之")), Lines{"甲之乙"});
}

TEST(LineTransforms, NumberingPrefixesSuffixesAndTheRest) {
    const auto number = [](Lines& l) { numberLines(l, "-"); };
    EXPECT_EQ(transformed({"a", "", "b"}, number), (Lines{"1-a", "2-b"}));
    EXPECT_EQ(transformed({"  ", ""}, number), Lines{});
    const std::vector<std::tuple<int, std::string, std::string>> widths{{9, "1-x", "9-x"}, {12, "01-x", "12-x"}, {100, "001-x", "100-x"}};
    for (const auto& [count, first, last] : widths) {
        const Lines numbered = transformed(Lines(static_cast<std::size_t>(count), "x"), number);
        EXPECT_EQ(numbered.front(), first);
        EXPECT_EQ(numbered.back(), last);
    }
    EXPECT_EQ(transformed({"song", " "}, [](Lines& l) { addPrefix(l, "01 "); }), (Lines{"01 song", "01  "}));
    EXPECT_EQ(transformed({"song", ""}, [](Lines& l) { addSuffix(l, "-", ""); }), (Lines{"song-", "-"}));
    EXPECT_EQ(transformed({"a.b.c", ".mp3", "readme", " "}, removeExtensions), (Lines{"a.b", "", "readme", " "}));
    EXPECT_EQ(transformed({"a", " ", "", "b"}, removeBlankLines), (Lines{"a", "b"}));
    EXPECT_EQ(transformed({" a b\tc ", "   "}, removeSpaces), (Lines{"ab\tc", "   "}));
    EXPECT_EQ(transformed({"hello WORLD-foo.MP3", " abc", "  "}, titleCase), (Lines{"Hello World-foo.mp3", " Abc", ""}));
    EXPECT_EQ(transformed({"a", "  ", ""}, [](Lines& l) { replaceAllLines(l, ""); }), (Lines{"", "  ", ""}));
}

TEST(NameFiles, Gb18030AndUtf8FilesReadAlike) {
    TempFolder dir;
    const std::string names = "后来.mp3\r\n遇见.mp3\r\nRain.mp3\r\n";
    dir.write("utf8.txt", names);
    dir.write("gbk.txt", utf8ToLegacy(names));
    dir.write("lf.txt", "后来.mp3\n遇见.mp3\nRain.mp3");
    dir.write("cr.txt", "后来.mp3\r遇见.mp3\rRain.mp3\r");
    dir.write("zero.txt", std::string("后来.mp3\r\n遇见.mp3\r\nRain.mp3\0ignored", 36));
    const Lines expected{"后来.mp3", "遇见.mp3", "Rain.mp3"};
    for (const char* name : {"utf8.txt", "gbk.txt", "lf.txt", "cr.txt", "zero.txt"})
        EXPECT_EQ(readNameFile(dir / name), expected) << name;
    EXPECT_FALSE(readNameFile(dir / "missing.txt"));

    ASSERT_TRUE(writeNameFile(dir / "out.txt", {"后来.mp3", "", "x"}));
    EXPECT_EQ(dir.read("out.txt"), "后来.mp3\r\n\r\nx\r\n");
    EXPECT_FALSE(writeNameFile(dir / "no/such/out.txt", {"x"}));
}

TEST(ListCorrespondence, LinesForEntriesAndLookUps) {
    EXPECT_EQ(namesForLines({"[.]", "[..]", "[A]", "[B]"}, true), (Lines{"[.]此处改名无效", "[..]此处改名无效", "A", "B"}));
    EXPECT_EQ(namesForLines({"a.mp3"}, false), Lines{"a.mp3"});
    const Lines entries{"Alpha.mp3", "Beta.mp3", "beta2.mp3"};
    EXPECT_EQ(firstEntryStartingWith(entries, "BETA"), 1);
    EXPECT_EQ(firstEntryStartingWith(entries, "delta"), -1);
    EXPECT_EQ(firstEntryStartingWith(entries, ""), 0);
}

class ManualNamingTest : public ::testing::Test {
protected:
    void rename(const Lines& entries, const Lines& lines, bool folderMode = false, bool answer = false) {
        ManualNaming naming{dir.path(), entries, lines, folderMode};
        renameFromLines(naming, log, count, [&](const std::string& q) {
            questions.push_back(q);
            return answer;
        });
    }
    TempFolder dir;
    UndoList log;
    std::int32_t count = 0;
    std::vector<std::string> questions;
};

TEST_F(ManualNamingTest, LinesNameTheirEntriesAndNothingIsOverwritten) {
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3", "rain.mp3", "same.mp3"}) dir.write(name, name);
    dir.makeFolder("sub");
    rename({"a.mp3", "b.mp3", "c.mp3", "rain.mp3", "same.mp3"}, {"sub/a.mp3", "   ", " x.mp3", "Rain.mp3", "same.mp3"});
    EXPECT_EQ(dir.names(), (std::vector<std::string>{" x.mp3", "Rain.mp3", "b.mp3", "same.mp3", "sub"}));
    EXPECT_EQ(dir.names("sub"), std::vector<std::string>{"a.mp3"});
    EXPECT_EQ(count, 3);
    EXPECT_EQ(log.size(), 3u);

    // Another existing file: a name of another length asks; one of the same length is
    // never overwritten and never logged.
    dir.write("bb.mp3", "bb");
    dir.write("d.mp3", "d");
    dir.write("e.mp3", "e");
    rename({"d.mp3", "b.mp3"}, {"e.mp3", "bb.mp3"}, false, true);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0], dir / "b.mp3" + "重命名后与该文件夹中\n" + dir / "bb.mp3" + "同名，是否删除前者？");
    EXPECT_FALSE(dir.exists("b.mp3")) << "Yes deletes the entry's file";
    EXPECT_EQ(dir.read("bb.mp3"), "bb");
    EXPECT_EQ(dir.read("d.mp3"), "d");
    EXPECT_EQ(dir.read("e.mp3"), "e");
    EXPECT_EQ(count, 3) << "nothing more happened";

    rename({"d.mp3"}, {"../escaped.mp3"});
    EXPECT_TRUE(dir.exists("d.mp3")) << "a line never leads out of the folder";
}

TEST_F(ManualNamingTest, FolderModeSkipsDotEntriesAndUnchangedNames) {
    dir.makeFolder("A");
    dir.makeFolder("B");
    rename({"[.]", "[..]", "[A]", "[B]"}, {"x", "y", "A", "Bee"}, true);
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"A", "Bee"}));
    EXPECT_EQ(count, 1);
}

}  // namespace
}  // namespace quilvane
