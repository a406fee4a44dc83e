// The simple naming rule on real files, the collision question, and the undo log.
#include <gtest/gtest.h>
#include <unistd.h>

#include "rename/setting_checks.h"
#include "rename/simple_rename.h"
#include "rename/text_pieces.h"
#include "support/temp_folder.h"

namespace quilvane {
namespace {

using test::TempFolder;

class SimpleRenameTest : public ::testing::Test {
protected:
    RenameOutcome rename(const std::string& folder, const std::string& name, bool answer = false) {
        RenameSession session{log, count, [&](const std::string& q) {
                                  questions.push_back(q);
                                  return answer;
                              }};
        return renameBySimpleRule(folder, folder + "/" + name, naming, session);
    }

    TempFolder dir;
    SimpleNaming naming;
    UndoList log;
    std::int32_t count = 0;
    std::vector<std::string> questions;
};

TEST_F(SimpleRenameTest, ArtistInFrontTakesTheFolderNameOrTheTypedOne) {
    const std::string tom = dir.makeFolder("Tom");
    dir.write("Tom/Rain.mp3", "rain");
    dir.write("Tom/Tom - Snow.mp3", "snow");
    naming.style = NameStyle::ArtistInFront;

    EXPECT_EQ(rename(tom, "Rain.mp3"), RenameOutcome::Renamed);
    EXPECT_EQ(rename(tom, "Tom - Snow.mp3"), RenameOutcome::LeftAsIs);
    EXPECT_EQ(dir.names("Tom"), (std::vector<std::string>{"Tom - Rain.mp3", "Tom - Snow.mp3"}));
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log.records()[0].newPath, tom + "/Tom - Rain.mp3");
    EXPECT_EQ(log.records()[0].oldPath, tom + "/Rain.mp3");
    EXPECT_EQ(count, 1);

    naming.artist = "刘若英";
    naming.separator = "—";  // a separator of its own that is not ASCII
    EXPECT_EQ(rename(tom, "Tom - Rain.mp3"), RenameOutcome::Renamed);
    EXPECT_TRUE(dir.exists("Tom/刘若英 — Tom - Rain.mp3"));
    EXPECT_EQ(simpleNamingTarget("/", "/Rain.mp3", {NameStyle::ArtistInFront, "-", {}}), "/ - Rain.mp3");
}

TEST_F(SimpleRenameTest, AfterSeparatorKeepsTheUntrimmedRestAndLooksAtTheNameOnly) {
    const std::string band = dir.makeFolder("A-Band");
    dir.write("A-Band/Tom - Rain.mp3", "rain");
    dir.write("A-Band/Snow.mp3", "snow");
    naming.style = NameStyle::AfterSeparator;

    EXPECT_EQ(rename(band, "Tom - Rain.mp3"), RenameOutcome::Renamed);
    EXPECT_TRUE(dir.exists("A-Band/ Rain.mp3"));
    // The separator in the folder's name never moves a file into another folder.
    EXPECT_EQ(rename(band, "Snow.mp3"), RenameOutcome::LeftAsIs);
    EXPECT_EQ(rename(band, " Rain.mp3"), RenameOutcome::LeftAsIs);
    EXPECT_EQ(dir.names("A-Band"), (std::vector<std::string>{" Rain.mp3", "Snow.mp3"}));
    EXPECT_EQ(count, 1);
}

TEST_F(SimpleRenameTest, ACollisionAsksAndYesDeletesTheFileBeingRenamed) {
    const std::string tom = dir.makeFolder("Tom");
    dir.write("Tom/Rain.mp3", "new copy");
    dir.write("Tom/Tom - Rain.mp3", "named before");
    naming.style = NameStyle::ArtistInFront;

    EXPECT_EQ(rename(tom, "Rain.mp3", false), RenameOutcome::KeptOnCollision);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0], tom + "/Rain.mp3重命名后与该文件夹中\n" + tom +
                                "/Tom - Rain.mp3同名，是否删除前者？");
    EXPECT_EQ(dir.names("Tom"), (std::vector<std::string>{"Rain.mp3", "Tom - Rain.mp3"}));

    EXPECT_EQ(rename(tom, "Rain.mp3", true), RenameOutcome::DeletedOnCollision);
    EXPECT_EQ(dir.names("Tom"), (std::vector<std::string>{"Tom - Rain.mp3"}));
    EXPECT_EQ(dir.read("Tom/Tom - Rain.mp3"), "named before");
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(count, 0);
}

TEST_F(SimpleRenameTest, ATakenNameIsNeverOverwrittenNorLoggedNorCounted) {
    const std::string tom = dir.makeFolder("Tom");
    dir.write("Tom/Rain.mp3", "rain");
    dir.makeFolder("Tom/Tom - Rain.mp3");  // a folder is no collision for the question
    dir.write("Tom/Snow.mp3", "snow");
    // A dangling link looks like no file to the question, yet rename(2) would replace it.
    ASSERT_EQ(::symlink("gone", (dir / "Tom/Tom - Snow.mp3").c_str()), 0);
    naming.style = NameStyle::ArtistInFront;

    EXPECT_EQ(rename(tom, "Rain.mp3"), RenameOutcome::Failed);
    EXPECT_EQ(rename(tom, "Snow.mp3"), RenameOutcome::Failed);
    EXPECT_TRUE(questions.empty());
    EXPECT_EQ(dir.read("Tom/Rain.mp3"), "rain");
    EXPECT_EQ(dir.read("Tom/Snow.mp3"), "snow");
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(count, 0);
}

TEST(UndoRenames, RestoresChainsLastRenameFirstAndReportsEveryNinth) {
    TempFolder dir;
    dir.write("x", "was x");
    dir.write("y", "was y");
    UndoList log;
    std::int32_t count = 0;
    // One command renamed x to z, then y to x.
    ASSERT_TRUE(renameAndLog(dir / "x", dir / "z", log, count));
    ASSERT_TRUE(renameAndLog(dir / "y", dir / "x", log, count));
    std::vector<int> reported;
    EXPECT_EQ(undoRenames(log, [&](int k) { reported.push_back(k); }).restored, 2);
    EXPECT_EQ(dir.read("x"), "was x");
    EXPECT_EQ(dir.read("y"), "was y");
    EXPECT_FALSE(dir.exists("z"));
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(reported, std::vector<int>{0});

    for (int i = 0; i < 20; ++i) {
        dir.write("f" + std::to_string(i), std::to_string(i));
        ASSERT_TRUE(renameAndLog(dir / ("f" + std::to_string(i)), dir / ("g" + std::to_string(i)), log, count));
    }
    reported.clear();
    EXPECT_EQ(undoRenames(log, [&](int k) { reported.push_back(k); }).restored, 20);
    EXPECT_EQ(reported, (std::vector<int>{0, 9, 18}));
    for (int i = 0; i < 20; ++i) EXPECT_EQ(dir.read("f" + std::to_string(i)), std::to_string(i));
}

TEST(TextPieces, CutAtTheLastCharacter) {
    EXPECT_EQ(textBeforeLast("a.b.mp3", "."), "a.b");
    EXPECT_EQ(textBeforeLast("abc", "."), "abc");
    EXPECT_EQ(textBeforeLast(".mp3", "."), "");
    EXPECT_EQ(textBeforeLast("", "."), "");
    EXPECT_EQ(textAfterLast("Tom - Rain.mp3", "-"), " Rain.mp3");
    EXPECT_EQ(textAfterLast("歌手—歌名—版本", "—"), "版本");
    EXPECT_TRUE(containsCharacter("a中b", "中"));
    EXPECT_FALSE(containsCharacter("abc", ""));
    EXPECT_TRUE(sameText("", ""));
    EXPECT_FALSE(sameText("Rain", "rain"));
}

TEST(SettingChecks, SeparatorArtistAndExtensionBoxes) {
    EXPECT_EQ(checkSeparatorText("").verdict, SeparatorVerdict::Nothing);
    EXPECT_EQ(checkSeparatorText("   ").verdict, SeparatorVerdict::AskBlank);
    const SeparatorCheck dash = checkSeparatorText(" -");
    EXPECT_EQ(dash.verdict, SeparatorVerdict::Accept);
    EXPECT_EQ(dash.character, "-");
    const SeparatorCheck ab = checkSeparatorText("ab");
    EXPECT_EQ(ab.verdict, SeparatorVerdict::TooLong);
    EXPECT_EQ(ab.character, "a");
    const SeparatorCheck chinese = checkSeparatorText("之");
    EXPECT_EQ(chinese.verdict, SeparatorVerdict::Accept);
    EXPECT_EQ(chinese.character, "之");
    EXPECT_EQ(checkSeparatorText("之后").character, "之");

    EXPECT_FALSE(artistNameIsBlank(""));
    EXPECT_FALSE(artistNameIsBlank(" "));
    EXPECT_TRUE(artistNameIsBlank("  "));
    EXPECT_FALSE(artistNameIsBlank(" a "));

    EXPECT_EQ(checkExtensionText(" .mp3"), ExtensionProblem::StartsWithDot);
    EXPECT_EQ(checkExtensionText("m.p3"), ExtensionProblem::ContainsDot);
    EXPECT_EQ(checkExtensionText("wma"), ExtensionProblem::None);

    std::vector<std::string> lines{"a.b.mp3", "readme", "", "   "};
    changeExtensions(lines, "wma");
    EXPECT_EQ(lines, (std::vector<std::string>{"a.b.wma", "readme.wma", "", "   .wma"}));
}

}  // namespace
}  // namespace quilvane
