// Names built from ID3v1 tags, which files take part, and the tree walk.
#include <algorithm>
#include <cerrno>
#include <gtest/gtest.h>
#include <unistd.h>

#include "rename/name_rules.h"
#include "naming/id3_naming.h"
#include "naming/tree_walk.h"
#include "platform/codepage.h"
#include "support/temp_folder.h"

namespace quilvane {
namespace {

using test::TempFolder;

TagBlock tagOf(const std::string& title, const std::string& artist = "", const std::string& album = "",
               const std::string& year = "", const std::string& comment = "", std::uint8_t genre = 17) {
    return buildTagBlock(title, artist, album, year, comment, genre);
}

TEST(Id3Name, TemplatesFillFieldsAndCopyEverythingElse) {
    EXPECT_EQ(buildId3Name("Ar_T", tagOf("Rain", "Tom"), "-"), "Tom-Rain.mp3");
    EXPECT_EQ(buildId3Name("T(Y)", tagOf("Rain", "", "", "1999"), "-"), "Rain(1999).mp3");
    EXPECT_EQ(buildId3Name("T", tagOf("Rain" + std::string(26, ' ')), "-"), "Rain" + std::string(26, ' ') + ".mp3");
    EXPECT_EQ(buildId3Name("T_AL(C)", tagOf("Rain", "Tom", "Sky", "", "Live"), "-"), "Rain-(Live).mp3");
    EXPECT_EQ(buildId3Name("Track", tagOf("Rain"), "-"), "Rainrack.mp3");
    EXPECT_EQ(buildId3Name("G_T", tagOf("Rain", "", "", "", "", 255), "-"), "-Rain.mp3");
    EXPECT_EQ(buildId3Name("G_T", tagOf("Rain", "", "", "", "", 17), "之"), "Rock之Rain.mp3");
    EXPECT_EQ(buildId3Name("Al_Ar_T", tagOf("Rain", "Tom", "Sky"), " "), "Sky Tom Rain.mp3");

    // "TA" over two files: the 'A' at the end swallows nothing of the next pass.
    EXPECT_EQ(buildId3Name("TA", tagOf("One"), "-"), "One.mp3");
    EXPECT_EQ(buildId3Name("TA", tagOf("Two"), "-"), "Two.mp3");

    // An ID3v1.1 comment: 28 bytes, a zero, the track number.
    std::string comment(28, 'c');
    TagBlock track = tagOf("T");
    track.setField(tagfield::Comment, comment);
    track.bytes[126] = 5;
    EXPECT_EQ(buildId3Name("C", track, "-"), comment + ".mp3");
}

TEST(Id3Name, ChineseTagsGiveChineseNames) {
    const TagBlock gbk = tagOf(utf8ToLegacy("后来"), utf8ToLegacy("刘若英"));
    EXPECT_EQ(buildId3Name("Ar_T", gbk, "-"), "刘若英-后来.mp3");
}

TEST(Id3Name, WhichFilesTakePartAndWhichNamesApply) {
    const TagBlock tagged = tagOf("Rain");
    EXPECT_TRUE(isId3NamingCandidate("x.mp3", tagged));
    EXPECT_TRUE(isId3NamingCandidate("x.MP3", tagged));
    EXPECT_TRUE(isId3NamingCandidate("x.mp3x", tagged));
    EXPECT_FALSE(isId3NamingCandidate("x.mp", tagged));
    EXPECT_FALSE(isId3NamingCandidate("mp3", tagged));
    EXPECT_FALSE(isId3NamingCandidate("x.mp3", TagBlock{}));

    EXPECT_TRUE(isApplicableName("Tom-Rain.mp3"));
    EXPECT_FALSE(isApplicableName("AC/DC-Rain.mp3")) << "a '/' would move the file";
    EXPECT_FALSE(isApplicableName(".mp3")) << "an empty name would hide the file";
}

// A name built from a tag that would move the file ("AC/DC") or hide it (an empty title)
// is never given to a real file.
TEST(Id3Name, ATagThatWouldMoveOrHideTheFileNamesNothing) {
    TempFolder dir;
    const auto withTag = [&](const std::string& name, const std::string& title, const std::string& artist) {
        const TagBlock tag = buildTagBlock(title, artist, "", "", "", 1);
        dir.write(name, std::string(200, 'a') + std::string(tag.bytes.data(), 128));
    };
    withTag("a.mp3", "Thunderstruck", "AC/DC");
    withTag("b.mp3", "", "Tom");
    withTag("c.mp3", "Rain", "Tom");
    EXPECT_EQ(id3NamingTarget(dir.path(), "a.mp3", "Ar_T", "-"), std::nullopt);
    EXPECT_EQ(id3NamingTarget(dir.path(), "b.mp3", "T", "-"), std::nullopt);
    EXPECT_EQ(id3NamingTarget(dir.path(), "c.mp3", "Ar_T", "-"), dir / "Tom-Rain.mp3");
}

TEST(TreeWalk, VisitsEveryFileDepthFirstAndSkipsDotNamesAndLinks) {
    TempFolder dir;
    dir.write("a.mp3");
    dir.write("Sub/b.mp3");
    dir.write("Sub/Deeper/c.mp3");
    dir.write(".hidden.mp3");
    dir.write(".git/d.mp3");
    TempFolder outside;
    outside.write("e.mp3");
    ASSERT_EQ(::symlink(outside.path().c_str(), (dir / "Link").c_str()), 0);

    std::vector<std::string> seen;
    EXPECT_FALSE(walkTree(dir.path(), [&](const std::string& folder, const std::string& name) {
        seen.push_back(folder.substr(dir.path().size()) + "/" + name);
    }));
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, (std::vector<std::string>{"/Sub/Deeper/c.mp3", "/Sub/b.mp3", "/a.mp3"}));
}

TEST(TreeWalk, StopsAtAFolderThatCannotBeReadAndNamesIt) {
    TempFolder dir;
    dir.write("Sub/b.mp3");
    dir.write("a.mp3");
    const auto failing = [&](const std::string& folder, std::vector<FolderEntry>& out) {
        return folder == dir / "Sub" ? EACCES : listFolder(folder, out);
    };
    int visited = 0;
    const auto failure = walkTree(dir.path(), [&](const std::string&, const std::string&) { ++visited; }, failing);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->folder, dir / "Sub");
    EXPECT_EQ(unreadableFolderMessage(*failure), "无法进入文件夹 " + dir / "Sub" + "：没有访问权限");
    EXPECT_LE(visited, 1);
}

}  // namespace
}  // namespace quilvane
