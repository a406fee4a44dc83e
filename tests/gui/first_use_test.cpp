// What a user meets first: Chinese dialogs and dates, names in pinyin order with the
// editing area's lines beside them, a tree that shows new folders, a tag panel that
// belongs to its file.
#include <QAbstractTextDocumentLayout>
#include <QDateTime>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QTreeView>
#include <QSignalSpy>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/gui/sort_form.h"
#include "platform/paths.h"
#include "platform/qt/folder_tree_model.h"
#include "platform/qt/properties_dialog.h"
#include "platform/qt/qtext.h"
#include "support/gui_fixture.h"
#include "tags/tag_block.h"

namespace quilvane::test {
namespace {

class FirstUse : public WindowTest {
protected:
    QStringList entries() {
        QStringList all;
        for (int i = 0; i < list().count(); ++i) all << list().itemText(i);
        return all;
    }
    bool treeShows(const std::string& folder) {
        FolderTreeModel& model = *form().FolderModel;
        const QModelIndex parent = model.indexOf(folderOf(folder));
        for (int row = 0; row < model.rowCount(parent); ++row)
            if (model.pathOf(model.index(row, 0, parent)) == folder) return true;
        return false;
    }
};

TEST_F(FirstUse, QtsOwnButtonsDialogsAndDatesSpeakChinese) {
    folder.write("a.mp3");
    openWindows();
    QMessageBox box(QMessageBox::Warning, "警告！", "?", QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_TRUE(box.button(QMessageBox::Yes)->text().startsWith("是")) << box.button(QMessageBox::Yes)->text().toStdString();
    EXPECT_TRUE(box.button(QMessageBox::No)->text().startsWith("否"));
    EXPECT_TRUE(box.button(QMessageBox::Cancel)->text().startsWith("取消"));

    QFileDialog dialog(nullptr, QString(), toQ(folder.path()));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    QStringList labels;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) labels << label->text();
    EXPECT_TRUE(labels.join('|').contains("查找范围")) << labels.join('|').toStdString();

    // Dates in the information panel and the properties window.
    const timespec when[2] = {{1796716800, 0}, {1796716800, 0}};  // 2026-12-08
    ::utimensat(AT_FDCWD, (folder / "a.mp3").c_str(), when, 0);
    clickEntry("a.mp3");
    EXPECT_TRUE(form().ui.Label2->text().contains("2026/12/")) << form().ui.Label2->text().toStdString();
    PropertiesDialog properties(nullptr, folder / "a.mp3");
    QStringList texts;
    for (const QLabel* label : properties.findChildren<QLabel*>()) texts << label->text();
    EXPECT_TRUE(texts.join('|').contains("2026年12月")) << texts.join('|').toStdString();

    // No program name is put after a window's own caption.
    EXPECT_TRUE(QGuiApplication::applicationDisplayName().isEmpty());
    EXPECT_EQ(windows->SortForm->windowTitle(), "文件归类");
}

// A Chinese desktop's list: Latin letters without regard to case, then Chinese names by
// pinyin, whatever the locale the program runs in; the listing walks in the same order.
TEST_F(FirstUse, NamesInPinyinOrderAndTheListingBesideThem) {
    for (const char* name : {"五月天.mp3", "刘若英.mp3", "周杰伦.mp3", "陈奕迅.mp3", "Beyond.mp3", "abc.mp3", "Zoo.mp3"})
        folder.write(std::string("Music/") + name, name);
    openWindows();
    form().selectFolderInTree(folder / "Music");
    const QStringList order{"abc.mp3", "Beyond.mp3", "Zoo.mp3", "陈奕迅.mp3", "刘若英.mp3", "五月天.mp3", "周杰伦.mp3"};
    EXPECT_EQ(entries(), order);

    trigger("N5");  // 列举文件名
    EXPECT_EQ(form().memoLines(), order);
    // Every line names its own entry, so naming from the listing renames nothing.
    click("BitBtn6");
    EXPECT_EQ(status(), "0个文件已按指定名字重命名");
    EXPECT_EQ(folder.read("Music/周杰伦.mp3"), "周杰伦.mp3");

    // Sub-folders are listed where the list order meets them.
    folder.write("Music/M/b.mp3");
    folder.write("Music/M/a.mp3");
    trigger("N5");
    EXPECT_EQ(form().memoLines(), (QStringList{"abc.mp3", "Beyond.mp3", "a.mp3", "b.mp3", "Zoo.mp3", "陈奕迅.mp3",
                                               "刘若英.mp3", "五月天.mp3", "周杰伦.mp3"}));
}

// Line k stands beside entry k: the same height for a row of the list and a line of the
// editing area, Chinese or not.
TEST_F(FirstUse, ListRowsAndEditingLinesAreOneHeight) {
    for (const char* name : {"abc.mp3", "周杰伦 - 晴天.mp3", "xyz.mp3", "陈奕迅.mp3"}) folder.write(name);
    openWindows();
    form().resize(1200, 800);
    form().show();
    trigger("N43");  // 复制文件名
    QApplication::processEvents();
    QTextDocument* document = form().ui.Memo1->document();
    qreal top = 0;
    for (int k = 0; k < list().count(); ++k) {
        SCOPED_TRACE(k);
        const QRect row = list().visualRect(list().model()->index(k, 0));
        const QRectF line = document->documentLayout()->blockBoundingRect(document->findBlockByNumber(k));
        EXPECT_EQ(row.height(), qRound(line.height()));
        EXPECT_EQ(row.top(), qRound(top));
        top += line.height();
    }
}

// Text typed with a final Enter has no empty line after it.
TEST_F(FirstUse, AFinalLineBreakMakesNoExtraLine) {
    openWindows();
    form().ui.Memo1->setFocus();
    QTest::keyClicks(form().ui.Memo1, "song");
    QTest::keyClick(form().ui.Memo1, Qt::Key_Return);
    EXPECT_EQ(form().memoLines(), QStringList{"song"});
    prompts.expectInput("添加后缀", "输入后缀名", QString("x"));
    trigger("N49");
    EXPECT_EQ(form().memoLines(), QStringList{"song-x"});
    prompts.expectSaveFile("Text(*.txt)", toQ(folder / "names"));
    trigger("N7");
    EXPECT_EQ(folder.read("names.txt"), "song-x\r\n");

    trigger("N18");  // emptied
    prompts.expectInput("添加前缀", "输入前缀名", QString("P"));
    trigger("N48");
    EXPECT_EQ(form().ui.Memo1->toPlainText(), "") << "no line, no prefix";
}

TEST_F(FirstUse, TheTreeShowsFoldersMadeByTheProgramAndByOthers) {
    folder.write("In/Tom - Rain.mp3");
    folder.write("In/Ann - Sky.mp3");
    folder.makeFolder("Out");
    openWindows();
    form().show();
    form().selectFolderInTree(folder.path());
    QTreeView* tree = form().ui.ShellTreeView1;
    FolderTreeModel& model = *form().FolderModel;
    tree->expand(model.indexOf(folder.path()));
    tree->expand(model.indexOf(folder / "Out"));
    ASSERT_TRUE(treeShows(folder / "Out"));

    // A sort into artist folders: they show as soon as it ends.
    TSortForm& sort = *windows->SortForm;
    sort.ui.Edit1->setText(toQ(folder / "In"));
    sort.ui.Edit4->setText(toQ(folder / "Out"));
    QSignalSpy finished(&sort, &TSortForm::runFinished);
    sort.ui.BitBtn2->click();
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_TRUE(treeShows(folder / "Out/Tom"));
    EXPECT_TRUE(treeShows(folder / "Out/Ann"));
    EXPECT_FALSE(treeShows(folder / "In")) << "the emptied search folder is gone";

    // Another program makes a folder: expanding its parent again shows it, and so does 刷新.
    folder.makeFolder("Out/Made Elsewhere");
    EXPECT_FALSE(treeShows(folder / "Out/Made Elsewhere"));
    tree->collapse(model.indexOf(folder / "Out"));
    tree->expand(model.indexOf(folder / "Out"));
    EXPECT_TRUE(treeShows(folder / "Out/Made Elsewhere"));
    folder.makeFolder("Out/Later");
    trigger("N52");
    EXPECT_TRUE(treeShows(folder / "Out/Later"));
}

// Folders beside the list's folder come and go (another program, a download): the tree
// follows, and the list and the editing area stay where the user put them.
TEST_F(FirstUse, FoldersLeavingBesideTheListsFolderNeverMoveTheList) {
    for (const char* name : {"P/a", "P/b", "P/c", "P/d"}) folder.makeFolder(name);
    folder.write("P/mine/song.mp3", "song");
    openWindows();
    QTreeView* tree = form().ui.ShellTreeView1;
    FolderTreeModel& model = *form().FolderModel;
    form().selectFolderInTree(folder / "P/mine");
    tree->collapse(model.indexOf(folder / "P"));
    // Opening P again (to show the folder) reads it again, without the two gone.
    ::rmdir((folder / "P/a").c_str());
    ::rmdir((folder / "P/b").c_str());
    form().selectFolderInTree(folder / "P/mine");
    EXPECT_EQ(model.pathOf(tree->currentIndex()), folder / "P/mine");
    EXPECT_EQ(tree->currentIndex().row(), 2);

    form().setMemoLines({"new name.mp3"});
    ::rmdir((folder / "P/c").c_str());
    ::rmdir((folder / "P/d").c_str());
    trigger("N52");  // 刷新
    EXPECT_EQ(list().directory(), folder / "P/mine");
    EXPECT_EQ(model.pathOf(tree->currentIndex()), folder / "P/mine");
    EXPECT_EQ(tree->currentIndex().row(), 0);
    EXPECT_EQ(form().memoLines(), QStringList{"new name.mp3"}) << "the editing area is the user's";
    ASSERT_EQ(list().count(), 1);
    EXPECT_EQ(list().itemText(0), "song.mp3");

    // The list's folder itself removed by another program: the list goes up, not sideways.
    folder.makeFolder("P/x");
    folder.makeFolder("P/z");
    trigger("N52");
    ::unlink((folder / "P/mine/song.mp3").c_str());
    ::rmdir((folder / "P/mine").c_str());
    trigger("N52");
    EXPECT_EQ(list().directory(), folder / "P");
    EXPECT_EQ(model.pathOf(tree->currentIndex()), folder / "P");
}

TEST_F(FirstUse, TheTagPanelBelongsToItsFile) {
    const TagBlock tag = buildTagBlock("Rain", "Tom", "", "", "", 12);
    folder.write("A/song.mp3", std::string(200, 'a') + std::string(tag.bytes.data(), 128));
    folder.makeFolder("B");
    openWindows();
    form().selectFolderInTree(folder / "A");
    clickEntry("song.mp3");
    ASSERT_FALSE(form().ui.Panel9->isHidden());
    form().selectFolderInTree(folder / "B");
    EXPECT_TRUE(form().ui.Panel9->isHidden()) << "another folder, another file: the panel goes";

    // The panel writes the file it shows, even when the list has lost its selection.
    form().selectFolderInTree(folder / "A");
    clickEntry("song.mp3");
    trigger("N52");
    form().ui.Edit1->setText("Snow");
    click("Button3");
    EXPECT_EQ(readTagBlock(folder / "A/song.mp3").field(tagfield::Title), "Snow");

    // A file gone meanwhile: the message names it.
    ::unlink((folder / "A/song.mp3").c_str());
    prompts.expectError("无法打开文件 " + toQ(folder / "A/song.mp3") + "（文件或文件夹不存在）");
    click("Button3");
}

}  // namespace
}  // namespace quilvane::test
