// The folder tree and the switch between file and folder mode.
#include <QTreeView>

#include "app/gui/form1.h"
#include "rename/text_pieces.h"
#include "files/gui/sort_form.h"
#include "platform/file_list_entries.h"
#include "platform/paths.h"
#include "platform/qt/folder_tree_model.h"
#include "platform/qt/shell.h"
#include "platform/qt/qtext.h"
#include "tageditor/gui/v1v2_dialog.h"

namespace quilvane {

void TForm1::RadioGroup3Click() {
    const bool fileMode = ui.RadioGroup3->isItemChecked(0);
    if (!fileMode && !ui.RadioGroup3->isItemChecked(1)) return;
    for (QAction* a : {ui.N9->menuAction(), ui.MP31->menuAction()}) a->setEnabled(fileMode);
    // "曲目信息" also waits for a batch of the tag editor to end.
    ui.N23->setEnabled(fileMode && !(V1V2Dialog && V1V2Dialog->batchRunning()));
    for (QWidget* w : {static_cast<QWidget*>(ui.GroupBox2), static_cast<QWidget*>(ui.CheckBox2),
                       static_cast<QWidget*>(ui.CheckBox3), static_cast<QWidget*>(ui.Edit4),
                       static_cast<QWidget*>(ui.BitBtn4), static_cast<QWidget*>(ui.BitBtn5)})
        w->setEnabled(fileMode);
    if (fileMode) ui.CheckBox4->setEnabled(true);
    ui.Label1->setText(fileMode ? QStringLiteral("文件信息") : QStringLiteral("目录信息"));
    ui.Label2->setText(fileMode ? QStringLiteral("修改时间：") : QStringLiteral("文件个数："));
    ui.Label3->setText(fileMode ? QStringLiteral("文件大小：") : QStringLiteral("总大小："));
    ui.GroupBox1->setTitle(fileMode ? QStringLiteral("文件属性") : QStringLiteral("目录属性"));
    ui.FileListBox1->setContent(fileMode ? ListContent::Files : ListContent::Folders);
}

void TForm1::ShellTreeView1Change() {
    if (treeRowsLeaving_ > 0) return;
    ui.Memo1->clear();
    const std::string path = FolderModel->pathOf(ui.ShellTreeView1->currentIndex());
    if (!path.empty() && path != ui.FileListBox1->directory() && ui.FileListBox1->setDirectory(path) != 0) return;
    ui.StatusBar1->setPanelText(1, QStringLiteral("当前文件夹  ") + displayQ(path));
    BitBtn3Click();
    // The preview belonged to a file of the folder left behind.
    hidePreview();
}

void TForm1::selectFolderInTree(const std::string& folder) {
    // Opening the parents reads them again, which moves the folder's row when folders beside
    // it came or went: the index follows it.
    const QPersistentModelIndex index = FolderModel->indexOf(folder);
    if (!index.isValid()) return;
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent()) ui.ShellTreeView1->expand(up);
    if (!index.isValid()) return;
    ui.ShellTreeView1->setCurrentIndex(index);
    ui.ShellTreeView1->scrollTo(index);
}

void TForm1::rereadTreeFolder(const std::string& folder) {
    FolderModel->rereadPath(folder);
    keepTreeOnListFolder();
}

void TForm1::keepTreeOnListFolder() {
    ++treeRowsLeaving_;
    // Finding the folder may read its parents again, which may remove rows: those come back
    // here with the count above zero and change nothing.
    const std::string listed = ui.FileListBox1->directory();
    const QModelIndex index = FolderModel->indexOf(listed);
    if (index.isValid() && index != ui.ShellTreeView1->currentIndex()) ui.ShellTreeView1->setCurrentIndex(index);
    --treeRowsLeaving_;
    if (index.isValid() || treeRowsLeaving_ > 0 || !listed.starts_with('/') || isFolder(listed)) return;
    // The list's own folder is gone: the list goes up to the nearest folder still there,
    // as a file manager does, never sideways to a folder the user did not choose.
    std::string up = listed;
    do up = up == "/" ? std::string() : folderOf(up);
    while (up.size() > 1 && !isFolder(up));
    if (!up.empty()) selectFolderInTree(up);
}

void TForm1::rereadExpandedFolders(const QModelIndex& parent) {
    for (int row = 0; row < FolderModel->rowCount(parent); ++row) {
        const QModelIndex child = FolderModel->index(row, 0, parent);
        if (!ui.ShellTreeView1->isExpanded(child)) continue;
        FolderModel->reread(child);
        rereadExpandedFolders(child);
    }
}

void TForm1::FileListBox1DblClick() {
    const int index = ui.FileListBox1->itemIndex();
    if (index < 0) return;
    const std::string& entry = ui.FileListBox1->itemBytes(index);
    const std::string folder = ui.FileListBox1->directory();
    if (!ui.RadioGroup3->isItemChecked(1)) {
        shell().open(this, joinPath(folder, entry));
        return;
    }
    if (entry == "[..]") {
        selectFolderInTree("/");  // the root, as the drive root was
    } else if (entry == "[.]") {
        const std::string up = textBeforeLast(folder, "/");
        selectFolderInTree(up.empty() ? "/" : up);
    } else {
        const std::string path = joinPath(folder, withoutBrackets(entry));
        selectFolderInTree(path);
        // Also for a folder the tree cannot show (a name that is not valid UTF-8).
        if (ui.FileListBox1->directory() != path && ui.FileListBox1->setDirectory(path) == 0)
            ui.StatusBar1->setPanelText(1, QStringLiteral("当前文件夹  ") + displayQ(path));
    }
}

void TForm1::FileListBox1KeyDown(int virtualKey) { showStatus(QString::number(virtualKey)); }

void TForm1::N42Click() { shell().showFolder(this, ui.FileListBox1->directory()); }

void TForm1::N52Click() {
    ui.FileListBox1->clear();
    ui.FileListBox1->reread();
    rereadTreeFolder(ui.FileListBox1->directory());
    rereadExpandedFolders({});
    keepTreeOnListFolder();
}

void TForm1::N53Click() {
    const std::string path = entryPath(false);
    if (!path.empty()) shell().properties(this, path);
}

void TForm1::N54Click() {
    if (!SortForm) return;
    for (QLineEdit* box : {SortForm->ui.Edit1, SortForm->ui.Edit3, SortForm->ui.Edit4})
        SortForm->setPathBox(box, ui.FileListBox1->directory());
    SortForm->show();
}

}  // namespace quilvane
