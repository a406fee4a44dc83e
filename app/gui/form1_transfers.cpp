// Drag-and-drop from the file list onto a folder of the tree (copy or move), and the
// list's 删除 and 到回收站.
#include <QDropEvent>
#include <QTreeView>

#include "app/gui/form1.h"
#include "files/file_utils.h"
#include "files/folder_transfer.h"
#include "platform/display_name.h"
#include "platform/file_list_entries.h"
#include "platform/paths.h"
#include "platform/qt/folder_tree_model.h"
#include "platform/qt/prompts.h"
#include "platform/qt/qtext.h"
#include "platform/qt/shell.h"
#include "platform/rename_noreplace.h"
#include "platform/system_reason.h"

namespace quilvane {
namespace {

const QString kNotUndoable = QStringLiteral("不可撤销操作啊！！");

bool isFolderMode(const Ui::TForm1& ui) { return ui.RadioGroup3->isItemChecked(1); }

}  // namespace

bool TForm1::ShellTreeView1DragOver(const QObject* source) const { return source == ui.FileListBox1; }

// The six steps of a drop: the target folder is selected (the list follows it), the
// transfer is asked for and made, and the list goes back to its folder.
void TForm1::ShellTreeView1DragDrop(const QPoint& at) {
    const int selected = ui.FileListBox1->itemIndex();
    ShellTreeView1DragDrop(at, {ui.FileListBox1->directory(), selected < 0 ? std::string() : ui.FileListBox1->itemBytes(selected)});
}

void TForm1::ShellTreeView1DragDrop(const QPoint& at, const TFileListBox::Dragged& dragged) {
    const std::string& folder = dragged.folder;
    const std::string& entry = dragged.entry;
    const QModelIndex node = ui.ShellTreeView1->indexAt(at);
    if (!node.isValid()) return;
    ui.ShellTreeView1->setCurrentIndex(node);
    const std::string target = FolderModel->pathOf(node);
    if (entry.empty() || DropAction == DropKind::Nothing) {
        returnToFolder(folder);
        return;
    }
    const bool move = DropAction == DropKind::Move;
    try {
        if (isFolderMode(ui)) {
            if (!isDotEntry(entry)) dropFolder(joinPath(folder, withoutBrackets(entry)), target, move);
            return;
        }
        ConfirmChange(move ? "Move" : "Copy", joinPath(folder, entry), joinPath(target, entry));
    } catch (const TransferError& e) {
        prompts().error(this, toQ(e.what()));
        return;
    }
    returnToFolder(folder);
}

void TForm1::returnToFolder(const std::string& folder) {
    if (ui.FileListBox1->setDirectory(folder) == 0) ui.StatusBar1->setPanelText(1, displayQ(folder));
}

void TForm1::dropFolder(const std::string& source, const std::string& target, bool move) {
    const QString question = (move ? QStringLiteral("确定移动所有文件吗？") : QStringLiteral("确定复制所有文件吗？")) + '\n' + kNotUndoable;
    if (!prompts().question(this, question)) return;
    int skipped = 0;
    if (move) {
        // A move is a batch of renames of its own: 撤销更名 takes it back.
        journal_.describe("拖放移动", folderOf(source));
        UndoList.startBatch();
        try {
            skipped = MoveFolderTree(source, target, &UndoList);
        } catch (const TransferError&) {
            UndoList.settle();
            if (!UndoList.empty()) enableUndo();
            throw;
        }
        UndoList.settle();
        if (!UndoList.empty()) enableUndo();
    } else {
        skipped = CopyFolderTree(source, target);
    }
    // The list shows the target, with the new folder in it; the tree shows it too.
    ui.FileListBox1->reread();
    rereadTreeFolder(target);
    if (move) rereadTreeFolder(folderOf(source));
    if (skipped > 0)
        showStatus(QString::number(skipped) + QStringLiteral("个同名项目已存在，未覆盖"));
}

void TForm1::ConfirmChange(const char* operation, const std::string& source, const std::string& destination) {
    const QString question = QStringLiteral("%1 %2 to %3?").arg(QString::fromLatin1(operation), displayQ(source), displayQ(destination));
    if (!prompts().confirmation(this, question)) return;
    const std::string op = operation;
    // Another file under that name is replaced only when the user says so once more.
    if (op != "Rename" && isFile(destination) && !sameEntry(source, destination) &&
        !prompts().question(this, QStringLiteral("目标文件夹中已有同名文件：\n") + displayQ(destination) +
                                      QStringLiteral("\n是否替换它？")))
        return;
    if (op == "Move") moveJournaled(source, destination);
    else if (op == "Copy") CopySingleFile(source, destination);
    else if (op == "Rename") renameWithoutReplacing(source, destination);
    ui.FileListBox1->reread();
}

// A move dragged onto a folder is a batch of one rename: 撤销更名 takes it back.
void TForm1::moveJournaled(const std::string& source, const std::string& destination) {
    journal_.describe("拖放移动", folderOf(source));
    UndoList.startBatch();
    const std::string to = isFolder(destination) ? joinPath(destination, fileNameOf(source)) : destination;
    const bool moved = moveAndLog(source, to, &UndoList, [&] { return MoveSingleFile(source, destination); });
    UndoList.settle();
    if (moved) enableUndo();
}

void TForm1::FileListBox1EndDrag(bool accepted) {
    if (accepted) ui.FileListBox1->reread();
}

void TForm1::N41Click() {
    const int selected = ui.FileListBox1->itemIndex();
    if (selected < 0) return;
    const std::string entry = ui.FileListBox1->itemBytes(selected);
    const std::string folder = ui.FileListBox1->directory();
    if (!isFolderMode(ui)) {
        const std::string path = joinPath(folder, entry);
        // A file that stays is named, with the reason: the user still sees it in the list.
        if (::unlink(path.c_str()) != 0)
            showStatus(displayQ(entry) + QStringLiteral("删除不成功：") + toQ(systemReason(errno)));
        ui.FileListBox1->reread();
        return;
    }
    if (isDotEntry(entry)) return;
    if (prompts().question(this, QStringLiteral("确定整个文件夹删除吗？？"))) {
        try {
            deleteEntireDir(joinPath(folder, withoutBrackets(entry)), [this](const std::string& step) {
                showStatus(displayQ(step));
            });
        } catch (const TransferError&) {
            prompts().notice(this, QStringLiteral("检查是否正使用该文件夹"));
        }
        rereadTreeFolder(folder);
    }
    ui.FileListBox1->clear();
    ui.FileListBox1->reread();
}

// The freedesktop.org trash; in folder mode the selected folder goes there whole.
void TForm1::N45Click() {
    const int selected = ui.FileListBox1->itemIndex();
    if (selected < 0) return;
    const std::string entry = ui.FileListBox1->itemBytes(selected);
    if (isFolderMode(ui) && isDotEntry(entry)) return;
    const std::string folder = ui.FileListBox1->directory();
    const std::string path = joinPath(folder, isFolderMode(ui) ? withoutBrackets(entry) : entry);
    const std::string refusal = shell().moveToTrash(this, path);
    if (!refusal.empty()) showStatus(displayQ(fileNameOf(path)) + QStringLiteral("未能移到回收站：") + toQ(refusal));
    ui.FileListBox1->reread();
    if (isFolderMode(ui)) rereadTreeFolder(folder);
}

}  // namespace quilvane
