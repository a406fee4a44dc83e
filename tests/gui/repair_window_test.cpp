// The repair of garbled tags and names as a user meets it: "修复乱码标签和文件名…" on the
// list's folder, the findings of every kind, another reading chosen in the table, a row
// left unchecked, the repair, the exported report, and the renames undone by 撤销更名.
#include <QComboBox>
#include <QTest>

#include "platform/codepage.h"
#include "platform/legacy_text.h"
#include "platform/qt/qtext.h"
#include "support/folder_snapshot.h"
#include "support/gui_fixture.h"
#include "support/id3_builder.h"
#include "tageditor/gui/repair_dialog.h"
#include "tags/id3v2.h"
#include "tags/tag_block.h"

namespace quilvane::test {
namespace {

std::string legacy(const std::string& utf8, LegacyCharset charset = LegacyCharset::Gbk) {
    return encodeLegacy(utf8, charset).value();
}

// An encoding-0 text frame holding the bytes as they are.
std::string latin1Frame(const char* id, const std::string& bytes) { return frame(3, id, std::string(1, '\0') + bytes); }

// A UTF-16 frame (with BOM) holding the UTF-8 text.
std::string utf16Frame(const char* id, const std::string& utf8) {
    const std::u16string units = toQ(utf8).toStdU16String();
    std::string body = std::string("\x01\xFF\xFE", 3);
    for (const char16_t u : units) body += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
    return frame(3, id, body);
}

std::string latin1AsUtf8(const std::string& bytes) { return decodeLegacy(bytes, LegacyCharset::Latin1); }

class RepairWindow : public WindowTest {
protected:
    TRepairDialog& dialog() { return *form().RepairDialog; }
    RepairFindingsModel& model() { return *dialog().Model; }
    QString cell(int row, int column) { return model().index(row, column).data().toString(); }
    // The row of the finding at `where` in the file (relative to the scanned folder).
    int rowOf(const QString& file, const QString& where) {
        for (int r = 0; r < model().rowCount(); ++r)
            if (cell(r, RepairFindingsModel::File) == file && cell(r, RepairFindingsModel::Where) == where) return r;
        ADD_FAILURE() << "no finding at " << file.toStdString() << " / " << where.toStdString();
        return -1;
    }
    // The dialog's buttons share names with the main window's: pressed through the dialog.
    void press(QAbstractButton* button) {
        ASSERT_TRUE(button->isEnabled()) << button->objectName().toStdString() << " is disabled";
        button->click();
    }
    void waitIdle() { QTRY_VERIFY_WITH_TIMEOUT(!dialog().busy(), 20000); }
    std::string v2Title(const std::string& path) {
        TID3V2 v2;
        v2.LoadTag(path);
        return v2.Frames[TID3V2::Title];
    }
};

TEST_F(RepairWindow, FindsEveryKindRepairsTheCheckedRowsAndUndoesTheRenames) {
    const std::string old = "Old";
    // GBK in encoding-0 frames; garbage already stored in Unicode; a Big5 title the
    // detector takes for GBK; an ID3v1-only GBK tag; GBK names; a Western tag that is right.
    folder.write(old + "/legacy.mp3", tag(3, {latin1Frame("TIT2", legacy("后来")), latin1Frame("TPE1", legacy("刘若英")),
                                              latin1Frame("TALB", legacy("我等你"))}) + audio(3000, 1));
    folder.write(old + "/garbled.mp3", tag(3, {utf16Frame("TPE1", latin1AsUtf8(legacy("王菲")))}) + audio(3000, 2));
    const std::string big5 = legacy("周杰倫", LegacyCharset::Big5);
    folder.write(old + "/jay.mp3", tag(3, {latin1Frame("TIT2", big5), latin1Frame("TPE1", big5)}) + audio(3000, 3));
    const TagBlock v1 = buildTagBlock(legacy("童话"), legacy("光良"), "", "2005", "", 17);
    folder.write(old + "/v1only.mp3", audio(3000, 4) + std::string(v1.bytes.data(), 128));
    folder.write(old + "/" + legacy("中文") + ".mp3", audio(500, 5));
    folder.write(old + "/" + legacy("老歌") + "/a.mp3", audio(500, 6));
    const std::string western = folder.write(old + "/western.mp3", tag(3, {latin1Frame("TPE1", "Bj\xF6rk")}) + audio(3000, 7));
    const std::string westernBefore = TempFolder::readFile(western);
    const auto namesBefore = snapshot(folder / old);

    openWindows();
    ASSERT_EQ(list().setDirectory(folder / old), 0);
    trigger("N55");
    ASSERT_NE(form().RepairDialog, nullptr);
    ASSERT_TRUE(dialog().isVisible());
    EXPECT_EQ(dialog().windowTitle(), "修复乱码标签和文件名");
    waitIdle();
    EXPECT_TRUE(dialog().ui.Label2->text().startsWith("扫描完成")) << dialog().ui.Label2->text().toStdString();

    // One row per finding, each telling what others show and what the program reads.
    const int title = rowOf("legacy.mp3", "ID3v2 TIT2（标题）");
    const int album = rowOf("legacy.mp3", "ID3v2 TALB（专辑）");
    const int garbled = rowOf("garbled.mp3", "ID3v2 TPE1（歌手）");
    const int jay = rowOf("jay.mp3", "ID3v2 TIT2（标题）");
    const int jayArtist = rowOf("jay.mp3", "ID3v2 TPE1（歌手）");
    ASSERT_GE(std::min({title, album, garbled, jay, jayArtist}), 0);
    EXPECT_EQ(cell(title, RepairFindingsModel::ShownToday), toQ(latin1AsUtf8(legacy("后来"))));
    EXPECT_EQ(cell(title, RepairFindingsModel::ReadAs), "后来");
    EXPECT_EQ(cell(title, RepairFindingsModel::Reading), "GBK");
    EXPECT_EQ(cell(garbled, RepairFindingsModel::ShownToday), toQ(latin1AsUtf8(legacy("王菲"))));
    EXPECT_EQ(cell(garbled, RepairFindingsModel::ReadAs), "王菲");
    int v1Rows = 0, names = 0;
    for (int r = 0; r < model().rowCount(); ++r) {
        v1Rows += cell(r, RepairFindingsModel::Where).startsWith("ID3v1 ");
        names += cell(r, RepairFindingsModel::Where).startsWith("文件");
        EXPECT_NE(cell(r, RepairFindingsModel::File), "western.mp3") << "a right Western tag is not listed";
    }
    EXPECT_EQ(v1Rows, 2) << "title and artist of the ID3v1-only file";
    EXPECT_EQ(names, 2) << "the GBK file name and the GBK folder name";
    EXPECT_TRUE(dialog().ui.BitBtn3->isEnabled());

    // Big5 chosen in the reading column's editor, as a user does; the text follows at once.
    const QModelIndex reading = model().index(jay, RepairFindingsModel::Reading);
    dialog().ui.TableView1->edit(reading);
    auto* box = dialog().ui.TableView1->findChild<QComboBox*>();
    ASSERT_NE(box, nullptr);
    box->setCurrentIndex(box->findText("Big5"));
    emit box->activated(box->currentIndex());
    EXPECT_EQ(cell(jay, RepairFindingsModel::ReadAs), "周杰倫");
    EXPECT_EQ(cell(jay, RepairFindingsModel::Confidence), "手选");
    EXPECT_EQ(cell(jayArtist, RepairFindingsModel::ReadAs), "周杰倫") << "the file's other texts follow";
    EXPECT_EQ(cell(title, RepairFindingsModel::Reading), "GBK") << "other files' do not";
    // The album is left as it is.
    model().setData(model().index(album, RepairFindingsModel::Checked), Qt::Unchecked, Qt::CheckStateRole);

    press(dialog().ui.BitBtn3);
    waitIdle();
    const QString report = dialog().ui.Memo1->toPlainText();
    EXPECT_TRUE(report.startsWith("修复完成：")) << report.toStdString();
    EXPECT_TRUE(report.contains("1处未选中，保持原样")) << report.toStdString();
    EXPECT_EQ(v2Title(folder / ("Old/legacy.mp3")), "后来");
    EXPECT_EQ(v2Title(folder / ("Old/jay.mp3")), "周杰倫");
    EXPECT_EQ(v2Title(folder / ("Old/v1only.mp3")), "童话") << "the ID3v1 texts now in an ID3v2 tag";
    const auto namesRepaired = snapshot(folder / old);
    EXPECT_TRUE(namesRepaired.contains("中文.mp3"));
    EXPECT_TRUE(namesRepaired.contains("老歌/a.mp3"));
    EXPECT_EQ(TempFolder::readFile(western), westernBefore);
    // The scan that follows lists what is left: the unchecked album alone.
    ASSERT_EQ(model().rowCount(), 1);
    EXPECT_EQ(cell(0, RepairFindingsModel::Where), "ID3v2 TALB（专辑）");
    EXPECT_NE(TempFolder::readFile(folder / ("Old/legacy.mp3")).find(legacy("我等你")), std::string::npos);
    EXPECT_GE(indexOf("中文.mp3"), 0) << "the list shows the new names";

    // The report of the repair, saved where the user says (".txt" added).
    prompts.expectSaveFile("文本文件 (*.txt)", toQ(folder / "report"));
    press(dialog().ui.BitBtn4);
    const std::string saved = TempFolder::readFile(folder / "report.txt");
    EXPECT_TRUE(saved.starts_with(report.toStdString())) << saved;
    EXPECT_NE(saved.find("否\t" + (folder / "Old/legacy.mp3")), std::string::npos) << saved;
    EXPECT_NE(saved.find("周杰倫\tBig5"), std::string::npos) << saved;

    press(dialog().ui.BitBtn5);
    EXPECT_FALSE(dialog().isVisible());
    trigger("N50");  // 撤销更名: the names come back, byte for byte
    std::map<std::string, std::string> namesAfter = snapshot(folder / old);
    EXPECT_TRUE(namesAfter.contains(legacy("中文") + ".mp3"));
    EXPECT_TRUE(namesAfter.contains(legacy("老歌") + "/a.mp3"));
    EXPECT_EQ(namesAfter.size(), namesBefore.size());
    // Opened again: a fresh scan finds the names again, and the old report is gone.
    trigger("N55");
    EXPECT_FALSE(dialog().ui.BitBtn4->isEnabled());
    EXPECT_TRUE(dialog().ui.Memo1->toPlainText().isEmpty());
    waitIdle();
    EXPECT_EQ(model().rowCount(), 3) << "the unchecked album and the two names given back";
    press(dialog().ui.BitBtn5);
    EXPECT_TRUE(prompts.problems().isEmpty()) << prompts.problems().join('\n').toStdString();
}

TEST_F(RepairWindow, WithoutSubFoldersTheFoldersOwnFilesAloneAreScanned) {
    folder.write("Clean/western.mp3", tag(3, {latin1Frame("TPE1", "Mot\xF6rhead")}) + audio(2000, 1));
    folder.write("Clean/unicode.mp3", tag(3, {utf16Frame("TPE1", "王菲")}) + audio(2000, 2));
    folder.write("Clean/子/deep.mp3", tag(3, {latin1Frame("TIT2", legacy("深处"))}) + audio(2000, 3));
    openWindows();
    ASSERT_EQ(list().setDirectory(folder / "Clean"), 0);
    trigger("N55");
    waitIdle();
    ASSERT_EQ(model().rowCount(), 1) << "包含子文件夹 is on at first";
    EXPECT_EQ(cell(0, RepairFindingsModel::File), "子/deep.mp3");
    dialog().ui.CheckBox1->setChecked(false);
    press(dialog().ui.BitBtn1);
    waitIdle();
    EXPECT_EQ(model().rowCount(), 0) << "a right Western tag and a right Unicode tag";
    EXPECT_EQ(dialog().ui.Label2->text(), "扫描完成：共2个文件，找到0处需要修复");
    EXPECT_FALSE(dialog().ui.BitBtn3->isEnabled());
}

TEST_F(RepairWindow, AScanCanBeStoppedAndTheDialogWaitsForIt) {
    const std::string gbkTag = tag(3, {latin1Frame("TIT2", legacy("后来"))}) + audio(200, 1);
    for (int n = 0; n < 5000; ++n) folder.write("Many/" + std::to_string(n) + ".mp3", gbkTag);
    openWindows();
    ASSERT_EQ(list().setDirectory(folder / "Many"), 0);
    trigger("N55");
    ASSERT_TRUE(dialog().busy());
    EXPECT_FALSE(dialog().ui.BitBtn5->isEnabled()) << "关闭 waits for the scan";
    QTest::keyClick(&dialog(), Qt::Key_Escape);  // Esc while scanning
    EXPECT_TRUE(dialog().isVisible());
    press(dialog().ui.BitBtn2);
    waitIdle();
    const QString label = dialog().ui.Label2->text();
    EXPECT_TRUE(label.startsWith("扫描已停止：查看了")) << label.toStdString();
    EXPECT_LT(model().rowCount(), 5000);
    EXPECT_TRUE(label.endsWith(QStringLiteral("个文件，找到%1处需要修复").arg(model().rowCount()))) << label.toStdString();
    press(dialog().ui.BitBtn5);
    EXPECT_FALSE(dialog().isVisible());
}

}  // namespace
}  // namespace quilvane::test
