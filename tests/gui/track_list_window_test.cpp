// The track information list: "显示所有ID信息" over the list's files, the tag editor's
// ID3v2 scan over a folder tree, and what a user does with the table.
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>

#include "platform/paths.h"
#include "platform/qt/qtext.h"
#include "support/gui_fixture.h"
#include "support/id3_builder.h"
#include "tageditor/gui/form4.h"
#include "tageditor/gui/v1v2_dialog.h"
#include "tags/tag_block.h"

namespace quilvane::test {
namespace {

std::string str(const char* bytes, std::size_t n) { return std::string(bytes, n); }

std::string v1Block(const std::string& title, std::uint8_t genre) {
    const TagBlock b = buildTagBlock(title, "V1 artist", "V1 album", "1999", "v1 note", genre);
    return std::string(b.bytes.data(), 128);
}

std::string v2Tag(const std::string& title) {
    return tag(3, {frame(3, "TIT2", str("\0", 1) + title), frame(3, "TPE1", str("\0V2 artist", 10)),
                   frame(3, "TCON", str("\0(17)Rock", 9)), frame(3, "TCOM", str("\0Composer", 9)),
                   frame(3, "TENC", str("\0LAME", 5))});
}

class TrackList : public WindowTest {
protected:
    TForm4& list4() { return *windows->Form4; }
    QAbstractItemModel& shown() { return *list4().ui.ListView1->model(); }
    QString cell(int row, int column) { return shown().index(row, column).data().toString(); }
    int rows() { return shown().rowCount(); }
    void scanAndWait() {
        QTRY_VERIFY_WITH_TIMEOUT(!windows->V1V2Dialog->scanRunning(), 20000);
    }
};

TEST_F(TrackList, TheListsFilesWithTheirTagsNumberedByTheirPlace) {
    folder.write("1 notes.txt", "text");
    folder.write("2 both.mp3", v2Tag("V2 title") + audio(500) + v1Block("V1 title", 17));
    folder.write("3 only v1.mp3", audio(500) + v1Block("Only one", 255));
    folder.write("4 none.MP3x", audio(500));
    openWindows();
    trigger("N40");
    ASSERT_TRUE(list4().isVisible());
    EXPECT_EQ(list4().windowTitle(), "曲目信息");
    ASSERT_EQ(rows(), 3);
    EXPECT_EQ(cell(0, 0), "2") << "numbers skip the text file";
    EXPECT_EQ(cell(0, 1), "2 both.mp3");
    EXPECT_EQ(cell(0, 2), "V1 title") << " ID3v1优先";
    EXPECT_EQ(cell(0, 7), "Rock");
    EXPECT_EQ(cell(0, 8), "Composer") << "the ID3v2 columns beside the ID3v1 ones";
    EXPECT_EQ(cell(0, 12), "LAME");
    EXPECT_EQ(cell(1, 0), "3");
    EXPECT_EQ(cell(1, 2), "Only one");
    EXPECT_EQ(cell(1, 7), "") << "genre 255 has no name";
    EXPECT_EQ(cell(2, 0), "4");
    EXPECT_EQ(cell(2, 1), "") << "no tags: the number alone";

    form().ui.CheckBox8->setChecked(false);
    trigger("N40");
    ASSERT_EQ(rows(), 3);
    EXPECT_EQ(cell(0, 2), "V2 title");
    EXPECT_EQ(cell(0, 3), "V2 artist");
    EXPECT_EQ(cell(0, 7), "(17)Rock") << "the genre text as stored";
    EXPECT_EQ(cell(1, 0), "3");
    EXPECT_EQ(cell(1, 1), "") << "an ID3v1 tag alone shows nothing without ID3v1优先";
    EXPECT_EQ(list4().ui.ListView1->horizontalHeader()->count(), 13);
    EXPECT_EQ(shown().headerData(1, Qt::Horizontal).toString(), "文件名");
}

TEST_F(TrackList, SortingByAColumnAndCopyingRows) {
    for (int i = 1; i <= 11; ++i) folder.write("song" + std::to_string(100 + i) + ".mp3", v2Tag(std::string(1, char('a' + (11 - i)))) + audio(200));
    openWindows();
    form().ui.CheckBox8->setChecked(false);
    trigger("N40");
    ASSERT_EQ(rows(), 11);
    QHeaderView* header = list4().ui.ListView1->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(2) + 5, 5));
    EXPECT_EQ(cell(0, 2), "a");
    EXPECT_EQ(cell(0, 0), "11");
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(0) + 5, 5));
    QStringList numbers;
    for (int r = 0; r < rows(); ++r) numbers << cell(r, 0);
    const QStringList up{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"};
    QStringList down = up;
    std::reverse(down.begin(), down.end());
    EXPECT_TRUE(numbers == up || numbers == down) << "numbers sort as numbers, 2 beside 1 and not after 10: "
                                                   << numbers.join(' ').toStdString();
    list4().ui.ListView1->sortByColumn(0, Qt::AscendingOrder);
    ASSERT_EQ(cell(0, 0), "1");

    list4().ui.ListView1->selectRow(0);
    list4().ui.ListView1->setFocus();
    QTest::keyClick(list4().ui.ListView1, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "1\tsong101.mp3\tk\tV2 artist\t\t\t\t(17)Rock\tComposer\t\t\t\tLAME");
}

// Text columns sort as the file list sorts names: Chinese by pinyin, not by code point.
TEST_F(TrackList, TextColumnsSortByPinyinAsTheFileList) {
    const char* titles[] = {"张", "阿", "北"};  // code points: 北 < 张 < 阿; pinyin: a < b < z
    for (int i = 0; i < 3; ++i) folder.write("s" + std::to_string(i) + ".mp3", v2Tag(titles[i]) + audio(200));
    openWindows();
    form().ui.CheckBox8->setChecked(false);
    trigger("N40");
    ASSERT_EQ(rows(), 3);
    list4().ui.ListView1->sortByColumn(2, Qt::AscendingOrder);
    EXPECT_EQ(QStringList({cell(0, 2), cell(1, 2), cell(2, 2)}), QStringList({"阿", "北", "张"}));
}

TEST_F(TrackList, TheScanListsTaggedFilesOfTheTree) {
    folder.write("Music/a.mp3", v2Tag("A") + audio(300));
    folder.write("Music/b.mp3", audio(300));
    folder.write("Music/c.mp3", v2Tag("C") + audio(300));
    folder.write("Music/notes.txt", "text");
    folder.write("Music/Sub/d.mp3", v2Tag("D") + audio(300));
    openWindows();
    form().selectFolderInTree(folder / "Music");
    trigger("V1V21");
    TV1V2Dialog& dialog = *windows->V1V2Dialog;
    dialog.ui.BitBtn8->click();
    EXPECT_EQ(dialog.ui.BitBtn8->text(), "停止扫描");
    scanAndWait();
    EXPECT_EQ(dialog.ui.BitBtn8->text(), "扫描ID3v2");
    EXPECT_EQ(dialog.ui.StatusBar1->panelText(0), "已完成ID3扫描, 共有2个文件");
    ASSERT_EQ(rows(), 2);
    EXPECT_EQ(cell(0, 0), "1");
    EXPECT_EQ(cell(0, 1), "a.mp3");
    EXPECT_EQ(cell(1, 0), "2");
    EXPECT_EQ(cell(1, 2), "C");
    EXPECT_EQ(currentDirectory(), folder / "Music");

    // "包含子文件夹" checked once the scan has started: the folders met after it are entered.
    dialog.ui.BitBtn8->click();
    dialog.ui.CheckBox9->setChecked(true);
    scanAndWait();
    EXPECT_EQ(rows(), 3);
    EXPECT_EQ(cell(2, 1), "d.mp3");
}

TEST_F(TrackList, StoppingAScanKeepsItsRows) {
    for (int i = 0; i < 600; ++i) folder.write("Many/" + std::to_string(1000 + i) + ".mp3", v2Tag("x") + audio(200));
    openWindows();
    form().selectFolderInTree(folder / "Many");
    trigger("V1V21");
    TV1V2Dialog& dialog = *windows->V1V2Dialog;
    dialog.ui.BitBtn8->click();
    QTRY_VERIFY_WITH_TIMEOUT(rows() > 0 || !dialog.scanRunning(), 20000);
    dialog.ui.BitBtn8->click();
    scanAndWait();
    const int kept = rows();
    if (dialog.ui.StatusBar1->panelText(0) == "扫描已停止") {
        EXPECT_GT(kept, 0);
        EXPECT_LT(kept, 600);
    } else {
        EXPECT_EQ(kept, 600) << "the scan had ended before the stop";
    }
    EXPECT_EQ(cell(kept - 1, 0), QString::number(kept)) << "the rows found so far stay, numbered";
}

}  // namespace
}  // namespace quilvane::test
