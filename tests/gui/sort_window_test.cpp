// The sorting dialog and its worker, driven through the window: settings, start, the
// worker's progress and end, stop, failures.
#include <QSignalSpy>
#include <QTest>
#include <map>
#include <sys/stat.h>

#include "files/gui/sort_form.h"
#include "platform/paths.h"
#include "platform/qt/qtext.h"
#include "naming/tree_walk.h"
#include "platform/attributes.h"
#include "support/gui_fixture.h"
#include "support/id3_builder.h"

namespace quilvane::test {
namespace {

class SortWindow : public WindowTest {
protected:
    TSortForm& dialog() { return *windows->SortForm; }
    // Presses "开始" and waits for the worker to end.
    void runAndWait() {
        QSignalSpy finished(&dialog(), &TSortForm::runFinished);
        dialog().ui.BitBtn2->click();
        ASSERT_TRUE(finished.wait(20000)) << "the worker did not end";
    }
};

TEST_F(SortWindow, OpensWithItsSettingsAndTheListFolderInThreeBoxes) {
    openWindows();
    const Ui::TSortForm& ui = dialog().ui;
    EXPECT_EQ(dialog().windowTitle(), "文件归类");
    EXPECT_TRUE(ui.RadioButton1->isChecked());
    EXPECT_TRUE(ui.Edit2->isEnabled());
    EXPECT_EQ(ui.Edit2->text(), "  -");
    EXPECT_FALSE(ui.Edit3->isEnabled());
    EXPECT_TRUE(ui.BitBtn5->isEnabled());
    EXPECT_FALSE(ui.BitBtn6->isEnabled());
    EXPECT_FALSE(ui.ComboBox1->isEnabled());
    EXPECT_EQ(ui.ComboBox1->currentText(), ".*");
    EXPECT_EQ(ui.ComboBox1->count(), 5);
    for (QCheckBox* box : {ui.CheckBox1, ui.CheckBox2, ui.CheckBox3, ui.CheckBox4}) EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(dialog().sortSepChar(), "-");

    trigger("N54");
    EXPECT_TRUE(dialog().isVisible());
    for (QLineEdit* box : {ui.Edit1, ui.Edit3, ui.Edit4}) EXPECT_EQ(box->text(), toQ(folder.path()));
    ui.RadioButton2->setChecked(true);
    EXPECT_FALSE(ui.Edit2->isEnabled());
    EXPECT_TRUE(ui.Edit3->isEnabled());
    ui.CheckBox2->setChecked(true);
    EXPECT_TRUE(ui.ComboBox1->isEnabled());

    prompts.expectFolder(toQ(folder / "Chosen"));
    dialog().ui.BitBtn4->click();
    EXPECT_EQ(ui.Edit4->text(), toQ(folder / "Chosen"));
    prompts.expectFolder("");
    dialog().ui.BitBtn1->click();
    EXPECT_EQ(ui.Edit1->text(), toQ(folder.path())) << "a cancelled browser changes nothing";
    dialog().ui.BitBtn3->click();
    EXPECT_FALSE(dialog().isVisible());
}

TEST_F(SortWindow, SortsIntoArtistFoldersAndReportsTheCounts) {
    folder.write("In/Tom - Rain.mp3");
    folder.write("In/Tom-Snow.mp3");
    folder.write("In/Rain.mp3");
    openWindows();
    dialog().ui.Edit1->setText(toQ(folder / "In"));
    dialog().ui.Edit4->setText(toQ(folder / "Out"));
    runAndWait();
    EXPECT_EQ(dialog().ui.Label3->text(), "2个文件已完成，1个文件已跳过 操作完成！！");
    EXPECT_TRUE(dialog().ui.BitBtn2->isEnabled());
    EXPECT_FALSE(dialog().ui.BitBtn6->isEnabled());
    EXPECT_EQ(folder.names("Out/Tom"), (std::vector<std::string>{"Tom - Rain.mp3", "Tom-Snow.mp3"}));

    // A sorting is a batch of its own: 撤销更名 takes it back.
    EXPECT_TRUE(form().ui.N50->isEnabled());
    trigger("N50");
    EXPECT_EQ(folder.names("In"), (std::vector<std::string>{"Rain.mp3", "Tom - Rain.mp3", "Tom-Snow.mp3"}));
    runAndWait();

    // The dialog's own separator.
    folder.write("In/Ann_Sky.mp3");
    prompts.expectNotice("分隔符只能是一个ANSI字符");
    dialog().ui.Edit2->setText("_x");
    EXPECT_EQ(dialog().sortSepChar(), "_");
    runAndWait();
    EXPECT_EQ(folder.names("Out/Ann"), std::vector<std::string>{"Ann_Sky.mp3"});
}

TEST_F(SortWindow, TheDialogsChoicesAsTheWorkerCarriesThemOut) {
    openWindows();
    Ui::TSortForm& ui = dialog().ui;
    ui.Edit1->setText(toQ(folder / "In"));
    ui.Edit4->setText(toQ(folder / "Out"));
    ui.Edit3->setText(toQ(folder / "All"));

    folder.write("In/A - B - C.mp3", "abc");
    ui.CheckBox3->setChecked(true);  // keep the originals: a copy
    runAndWait();
    EXPECT_EQ(folder.read("Out/A - B/A - B - C.mp3"), "abc");
    EXPECT_EQ(folder.read("In/A - B - C.mp3"), "abc");

    ui.CheckBox3->setChecked(false);
    ui.CheckBox4->setChecked(true);  // only into folders that exist
    folder.write("In/Nobody - x.mp3");
    runAndWait();
    // The copy made by the first run has the name taken in its artist folder: the file
    // stays, never overwriting what is there.
    EXPECT_EQ(ui.Label3->text(), "0个文件已完成，2个文件已跳过 操作完成！！");
    EXPECT_TRUE(folder.exists("In/A - B - C.mp3"));
    EXPECT_TRUE(folder.exists("In/Nobody - x.mp3"));
    EXPECT_FALSE(folder.exists("Out/Nobody"));

    ui.CheckBox4->setChecked(false);
    ui.CheckBox1->setChecked(true);  // with sub-folders, and only ".MP3"
    ui.CheckBox2->setChecked(true);
    ui.ComboBox1->setEditText(".MP3");
    folder.write("In/CD/Tom - a.mp3");
    folder.write("In/CD/Tom - b.wma");
    ::chmod((folder / "In/CD/Tom - a.mp3").c_str(), 0444);
    runAndWait();
    EXPECT_EQ(folder.names("Out/Tom"), std::vector<std::string>{"Tom - a.mp3"});
    EXPECT_EQ(attributeWord(folder / "Out/Tom/Tom - a.mp3"), 0) << "moved files are no longer read-only";
    EXPECT_EQ(folder.names("In/CD"), std::vector<std::string>{"Tom - b.wma"});
    EXPECT_TRUE(folder.exists("Out/Nobody/Nobody - x.mp3")) << "its folder is made now";
    ui.ComboBox1->setEditText(".wma");
    runAndWait();
    EXPECT_EQ(ui.Label3->text(), "0个文件已完成，2个文件已跳过 操作完成！！") << "lower case matches nothing";

    ui.CheckBox2->setChecked(false);
    ui.CheckBox3->setChecked(true);  // collect mode moves all the same
    ui.RadioButton2->setChecked(true);
    runAndWait();
    EXPECT_EQ(folder.names("All"), (std::vector<std::string>{"A - B - C.mp3", "Tom - b.wma"}));
    EXPECT_TRUE(folder.names("In/CD").empty());
    EXPECT_TRUE(folder.exists("In")) << "with 保留原文件 the emptied folders stay";
}

std::map<std::string, int> hashesUnder(const std::string& root) {
    std::map<std::string, int> seen;
    walkTree(root, [&](const std::string& in, const std::string& name) {
        ++seen[fingerprint(TempFolder::readFile(joinPath(in, name)))];
    });
    return seen;
}

// The dialog opens with the search, target and collecting folders all equal.
TEST_F(SortWindow, TheDefaultFoldersLoseNoByte) {
    for (int i = 0; i < 1000; ++i) {
        const std::string sub = i % 3 == 0 ? "" : "Disc" + std::to_string(i % 7) + "/";
        const std::string artist = i % 5 == 0 ? "" : "Artist" + std::to_string(i % 11) + " - ";
        folder.write("Music/" + sub + artist + "Song" + std::to_string(i) + ".mp3", audio(64 + i, static_cast<unsigned>(i)));
    }
    openWindows();
    form().ui.FileListBox1->setDirectory(folder / "Music");
    const auto before = hashesUnder(folder / "Music");
    trigger("N54");
    dialog().ui.CheckBox1->setChecked(true);
    runAndWait();
    EXPECT_EQ(hashesUnder(folder / "Music"), before);
    dialog().ui.RadioButton2->setChecked(true);
    runAndWait();
    EXPECT_EQ(hashesUnder(folder / "Music"), before);
}

TEST_F(SortWindow, AFolderNameInTheLegacyCodePageIsSortedByItsOwnBytes) {
    const std::string gbkFolder = folder / "\xD2\xF4\xC0\xD6";  // "音乐" in GBK
    folder.write("\xD2\xF4\xC0\xD6/Tom - Rain.mp3", "rain");
    openWindows();
    form().ui.FileListBox1->setDirectory(gbkFolder);
    trigger("N54");
    runAndWait();
    EXPECT_EQ(dialog().ui.Label3->text(), "1个文件已完成，0个文件已跳过 操作完成！！");
    EXPECT_EQ(TempFolder::readFile(gbkFolder + "/Tom/Tom - Rain.mp3"), "rain");
}

TEST_F(SortWindow, RefusesToStartWithoutAUsableExtensionOrCollectingFolder) {
    openWindows();
    dialog().ui.CheckBox2->setChecked(true);
    dialog().ui.ComboBox1->setEditText("MP3");
    prompts.expectNotice("先选择正确的后缀格式");
    dialog().ui.BitBtn2->click();
    dialog().ui.CheckBox2->setChecked(false);
    dialog().ui.RadioButton2->setChecked(true);
    dialog().ui.Edit3->setText("  ");
    prompts.expectNotice("歌手名不能为空");
    dialog().ui.BitBtn2->click();
    EXPECT_TRUE(dialog().ui.BitBtn2->isEnabled()) << "nothing started";
}

TEST_F(SortWindow, AStoppedRunEndsWithItsCountsAndCanStartAgain) {
    for (int i = 0; i < 3000; ++i) folder.write("In/Tom - " + std::to_string(i) + ".mp3");
    openWindows();
    dialog().ui.Edit1->setText(toQ(folder / "In"));
    dialog().ui.Edit4->setText(toQ(folder / "Out"));
    QSignalSpy finished(&dialog(), &TSortForm::runFinished);
    dialog().ui.BitBtn2->click();
    EXPECT_FALSE(dialog().ui.BitBtn2->isEnabled());
    dialog().ui.BitBtn6->click();
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_TRUE(dialog().ui.Label3->text().endsWith("操作完成！！"));
    const std::size_t left = folder.names("In").size();
    EXPECT_GT(left, 0u) << "stopped before the end";
    EXPECT_EQ(left + folder.names("Out/Tom").size(), 3000u);
    runAndWait();
    EXPECT_EQ(dialog().ui.Label3->text(), QString::number(left) + "个文件已完成，0个文件已跳过 操作完成！！");
    EXPECT_FALSE(folder.exists("In"));
}

TEST_F(SortWindow, AFailedTransferIsShownAndNothingIsLost) {
    folder.write("In/Tom - Rain.mp3", "rain");
    folder.write("Out/Tom", "a file where the artist folder should be");
    openWindows();
    dialog().ui.Edit1->setText(toQ(folder / "In"));
    dialog().ui.Edit4->setText(toQ(folder / "Out"));
    runAndWait();
    EXPECT_TRUE(dialog().ui.Label3->text().contains("Cannot create file " + toQ(folder / "Out/Tom/Tom - Rain.mp3")))
        << dialog().ui.Label3->text().toStdString();
    EXPECT_TRUE(dialog().ui.BitBtn2->isEnabled());
    EXPECT_EQ(folder.read("In/Tom - Rain.mp3"), "rain");
    EXPECT_EQ(folder.read("Out/Tom"), "a file where the artist folder should be");
}

}  // namespace
}  // namespace quilvane::test
