// The folder tree and the switch between file and folder mode.
#include <QFileSystemModel>

#include "app/gui/form1.h"
#include "files/gui/sort_form.h"
#include "platform/qt/qtext.h"

namespace quilvane {

void TForm1::RadioGroup3Click() {
    const bool fileMode = ui.RadioGroup3->isItemChecked(0);
    if (!fileMode && !ui.RadioGroup3->isItemChecked(1)) return;
    for (QAction* a : {ui.N9->menuAction(), ui.MP31->menuAction(), ui.N23}) a->setEnabled(fileMode);
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
    ui.Memo1->clear();
    const QString folder = FolderModel->filePath(ui.ShellTreeView1->currentIndex());
    if (folder.isEmpty()) return;
    const std::string path = QFile::encodeName(folder).toStdString();
    if (path != ui.FileListBox1->directory() && ui.FileListBox1->setDirectory(path) != 0) return;
    ui.StatusBar1->setPanelText(1, QStringLiteral("当前文件夹  ") + toQ(path));
}

void TForm1::N54Click() {
    if (!SortForm) return;
    const QString folder = toQ(ui.FileListBox1->directory());
    for (QLineEdit* box : {SortForm->ui.Edit1, SortForm->ui.Edit3, SortForm->ui.Edit4}) box->setText(folder);
    SortForm->show();
}

}  // namespace quilvane
