// The batch naming commands through the main window: simple naming over the folder and
// its tree, ID3 naming with the template chooser, progress texts, undo.
#include <QTimer>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "naming/gui/form5.h"
#include "platform/codepage.h"
#include "platform/paths.h"
#include "platform/qt/qtext.h"
#include "support/gui_fixture.h"
#include "tags/tag_block.h"

namespace quilvane::test {
namespace {

const QString kTreeQuestion = QStringLiteral("确定所有文件（包括子文件夹）重命名吗？\r不可撤销操作啊！！");

std::string mp3With(const std::string& title, const std::string& artist) {
    const TagBlock tag = buildTagBlock(utf8ToLegacy(title), utf8ToLegacy(artist), "", "2004", "", 17);
    return std::string(400, '\x55') + std::string(tag.bytes.data(), 128);
}

class NamingWindow : public WindowTest {
protected:
    // Shows the list `folder` (as choosing it in the tree does).
    void showFolder(const std::string& path) { ASSERT_EQ(form().ui.FileListBox1->setDirectory(path), 0); }
    // The chooser is modal: answer it once its own event loop runs.
    void chooseTemplate(const QString& text, bool ok = true) {
        TForm5* chooser = form().Form5;
        QTimer::singleShot(0, chooser, [chooser, text, ok] {
            chooser->ui.ComboBox1->setEditText(text);
            (ok ? chooser->ui.BitBtn1 : chooser->ui.BitBtn2)->click();
        });
    }
};

TEST_F(NamingWindow, NothingHappensBeforeAFormatIsChosen) {
    folder.write("a.mp3");
    openWindows();
    for (int i = 0; i < 3; ++i) prompts.expectNotice("选择一个命名格式");
    trigger("N1");
    trigger("N14");
    click("BitBtn4");
    prompts.expectNotice("选择一个命名格式");
    EXPECT_FALSE(form().renameClickedFile(folder / "a.mp3"));
    EXPECT_EQ(folder.names(), std::vector<std::string>{"a.mp3"});
    EXPECT_FALSE(form().ui.N50->isEnabled());
}

TEST_F(NamingWindow, WholeTreeNamingGivesEachFileItsFolderName) {
    folder.write("mp3/a.mp3", "a");
    folder.write("mp3/Tom/b.mp3", "b");
    folder.write("mp3/.hidden.mp3");
    folder.write("mp3/.dot/c.mp3");
    openWindows();
    showFolder(folder / "mp3");
    form().ui.RadioGroup1->setItemIndex(1);
    prompts.expectQuestion(kTreeQuestion, true);
    trigger("N1");
    EXPECT_EQ(folder.names("mp3"), (std::vector<std::string>{".dot", ".hidden.mp3", "Tom", "mp3 - a.mp3"}));
    EXPECT_EQ(folder.names("mp3/Tom"), std::vector<std::string>{"Tom - b.mp3"});
    EXPECT_EQ(folder.names("mp3/.dot"), std::vector<std::string>{"c.mp3"});
    EXPECT_EQ(status(), "2个文件已按指定格式重命名");
    EXPECT_TRUE(form().ui.N50->isEnabled());
    EXPECT_EQ(currentDirectory(), folder / "mp3");

    click("BitBtn4");  // "局部" is chosen, so this is partial naming
    EXPECT_EQ(status(), "0个文件已按指定格式重命名") << "names with the separator are left alone";
    // With "全部" the toolbar names the whole tree; "No" to its question changes nothing.
    form().ui.RadioButton1->setChecked(true);
    prompts.expectQuestion(kTreeQuestion, false);
    click("BitBtn4");
    EXPECT_EQ(status(), "0个文件已按指定格式重命名");
}

TEST_F(NamingWindow, AWalkOf25FilesReportsEveryTenthAndUndoesCompletely) {
    for (int i = 0; i < 15; ++i) folder.write("Album/" + std::to_string(i) + ".mp3");
    for (int i = 15; i < 25; ++i) folder.write("Album/CD2/" + std::to_string(i) + ".mp3");
    openWindows();
    showFolder(folder / "Album");
    form().ui.RadioGroup1->setItemIndex(1);
    prompts.expectQuestion(kTreeQuestion, true);
    statusHistory.clear();
    trigger("N1");
    EXPECT_EQ(statusHistory, (QStringList{"已经命名数：10", "已经命名数：20", "25个文件已按指定格式重命名"}));
    EXPECT_EQ(folder.names("Album/CD2").front(), "CD2 - 15.mp3");

    trigger("N50");
    EXPECT_EQ(status(), "25个文件撤销完成");
    for (int i = 0; i < 15; ++i) EXPECT_TRUE(folder.exists("Album/" + std::to_string(i) + ".mp3")) << i;
    for (int i = 15; i < 25; ++i) EXPECT_TRUE(folder.exists("Album/CD2/" + std::to_string(i) + ".mp3")) << i;
}

TEST_F(NamingWindow, PartialNamingStaysInTheFolderAndFollowsTheFilter) {
    folder.write("Tom/Rain.mp3");
    folder.write("Tom/notes.txt");
    folder.write("Tom/Sub/Snow.mp3");
    openWindows();
    showFolder(folder / "Tom");
    form().ui.FilterComboBox1->setCurrentIndex(2);  // mp3 file(*.mp3)
    form().ui.RadioGroup1->setItemIndex(1);
    statusHistory.clear();
    click("BitBtn4");
    EXPECT_EQ(statusHistory, (QStringList{"0稍候，操作进行中", "1个文件已按指定格式重命名"}));
    EXPECT_EQ(folder.names("Tom"), (std::vector<std::string>{"Sub", "Tom - Rain.mp3", "notes.txt"}));
    EXPECT_EQ(folder.names("Tom/Sub"), std::vector<std::string>{"Snow.mp3"});
    EXPECT_EQ(form().renamedCount(), 0);
    EXPECT_EQ(form().ui.FileListBox1->itemText(0), "Tom - Rain.mp3") << "the list was re-read";
}

TEST_F(NamingWindow, TheClickRenameAddsToTheUndoLog) {
    folder.write("Tom/Rain.mp3");
    folder.write("Tom/Tom - Snow.mp3");
    openWindows();
    showFolder(folder / "Tom");
    form().ui.RadioGroup1->setItemIndex(1);
    EXPECT_TRUE(form().renameClickedFile(folder / "Tom/Rain.mp3"));
    EXPECT_EQ(status(), "1个文件已按指定格式重命名");
    EXPECT_TRUE(form().renameClickedFile(folder / "Tom/Tom - Snow.mp3"));
    EXPECT_EQ(status(), "0个文件已按指定格式重命名");
    EXPECT_EQ(form().undoList().size(), 1u);
    EXPECT_FALSE(form().ui.N50->isEnabled()) << "the click step leaves the undo controls alone";
}

TEST_F(NamingWindow, Id3NamingOverATreeNeverOverwritesAndUndoes) {
    folder.write("Music/one.mp3", mp3With("后来", "刘若英"));
    folder.write("Music/CD/two.MP3", mp3With("Rain", "Tom"));
    folder.write("Music/CD/same.mp3", mp3With("Rain", "Tom"));
    folder.write("Music/untagged.mp3", std::string(300, 'x'));
    folder.write("Music/slash.mp3", mp3With("AC/DC", "Band"));
    folder.write("Music/readme.txt", "x");
    openWindows();
    showFolder(folder / "Music");
    chooseTemplate("  Ar_T ");
    // Two files of the tree want one name: the first takes it, the other is named.
    prompts.expectQuestion(kTreeQuestion, true).expectNotice("");
    trigger("ID32");
    EXPECT_TRUE(prompts.shown().back().text.startsWith("以下1个文件要改成的名字已由本批中前面的文件取用，未改名：\n")) << prompts.shown().back().text.toStdString();
    EXPECT_TRUE(prompts.shown().back().text.endsWith(" → Tom-Rain.mp3"));
    EXPECT_EQ(status(), "2已按指定格式重命名");
    EXPECT_TRUE(folder.exists("Music/刘若英-后来.mp3"));
    const auto cd = folder.names("Music/CD");
    ASSERT_EQ(cd.size(), 2u);
    EXPECT_EQ(std::count(cd.begin(), cd.end(), "Tom-Rain.mp3"), 1) << "the second file keeps its name";
    EXPECT_TRUE(folder.exists("Music/slash.mp3")) << "a name with '/' is not applied";
    EXPECT_TRUE(folder.exists("Music/untagged.mp3"));
    EXPECT_EQ(form().undoList().size(), 2u);

    trigger("N50");
    EXPECT_TRUE(folder.exists("Music/one.mp3"));
    EXPECT_EQ(folder.names("Music/CD"), (std::vector<std::string>{"same.mp3", "two.MP3"}));
}

TEST_F(NamingWindow, PartialId3NamingAndACancelledChooser) {
    folder.write("x.mp3x", mp3With("Rain", "Tom"));
    folder.write("y.mp", mp3With("Snow", "Tom"));
    openWindows();
    form().ui.RadioGroup1->setItemIndex(1);
    chooseTemplate("T(Y)");
    click("BitBtn5");  // "局部"
    EXPECT_EQ(status(), "被重命名的文件数为1");
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"Rain(2004).mp3", "y.mp"}));
    EXPECT_EQ(form().undoList().size(), 1u);

    chooseTemplate("T", false);
    trigger("ID31");
    EXPECT_EQ(form().renamedCount(), 0);
    EXPECT_EQ(form().undoList().size(), 1u) << "a cancelled chooser keeps the log";
    EXPECT_EQ(form().Form5->ui.ComboBox1->currentText(), "T") << "the chooser keeps its text";
}

// A folder whose path is longer than the system accepts cannot be entered.
TEST_F(NamingWindow, AFolderThatCannotBeEnteredStopsTheWalkWithItsName) {
    folder.write("Deep/a.mp3");
    const std::string part(200, 'd');
    int dirFd = ::open((folder / "Deep").c_str(), O_DIRECTORY);
    for (int level = 0; level < 22; ++level) {
        ASSERT_EQ(::mkdirat(dirFd, part.c_str(), 0755), 0);
        const int next = ::openat(dirFd, part.c_str(), O_DIRECTORY);
        ::close(dirFd);
        dirFd = next;
    }
    ::close(dirFd);
    openWindows();
    showFolder(folder / "Deep");
    form().ui.RadioGroup1->setItemIndex(1);
    prompts.expectQuestion(kTreeQuestion, true).expectError("");
    trigger("N1");
    ASSERT_EQ(prompts.shown().size(), 2u);
    EXPECT_TRUE(prompts.shown()[1].text.startsWith("无法进入文件夹 " + toQ(folder / "Deep/" + part)));
    // a.mp3 comes before the deep folder in list order: its rename stays, and can be undone.
    EXPECT_TRUE(folder.exists("Deep/Deep - a.mp3"));
    EXPECT_TRUE(form().ui.N50->isEnabled()) << "what the walk did before the failure can be undone";
    EXPECT_EQ(currentDirectory(), folder / "Deep");
    trigger("N50");
    EXPECT_TRUE(folder.exists("Deep/a.mp3"));
    EXPECT_EQ(status(), "1个文件撤销完成");
    std::system(("rm -rf '" + folder / "Deep" + "'").c_str());
}

}  // namespace
}  // namespace quilvane::test
