// The batch naming commands of the main window: simple naming over the folder or its
// tree, ID3 naming by template, and the tree walk they share with the listing commands.
#include <QTextDocument>

#include "app/gui/form1.h"
#include "naming/gui/form5.h"
#include "naming/id3_naming.h"
#include "naming/tree_walk.h"
#include "platform/file_error.h"
#include "platform/paths.h"
#include "platform/qt/prompts.h"
#include "platform/qt/qtext.h"
#include "tags/tag_block.h"

namespace quilvane {
namespace {

const QString kWholeTreeQuestion =
    QStringLiteral("确定所有文件（包括子文件夹）重命名吗？") + '\r' + QStringLiteral("不可撤销操作啊！！");

}  // namespace

void TForm1::showCountAnd(const QString& text) { showStatus(QString::number(RenamedCount) + text); }

bool TForm1::namingFormatChosen() {
    if (ui.RadioGroup1->isItemChecked(0) != ui.RadioGroup1->isItemChecked(1)) return true;
    prompts().notice(this, QStringLiteral("选择一个命名格式"));
    return false;
}

bool TForm1::MakeTree(WalkMode mode) {
    const SimpleNaming naming = simpleNaming();
    // Renames are gathered over the whole tree and made as one planned batch.
    RenameBatch batch;
    int visited = 0;
    QStringList listed;
    const auto progress = [this](const QString& text) {
        if (RenamedCount % 10 == 0) showStatus(text + QString::number(RenamedCount));
    };
    const auto visit = [&](const std::string& folder, const std::string& name) {
        switch (mode) {
        case WalkMode::Rename:
            if (auto target = simpleNamingTarget(folder, joinPath(folder, name), naming))
                batch.add(joinPath(folder, name), std::move(*target));
            break;
        case WalkMode::ListNames:
            listed << displayQ(name);
            ++RenamedCount;
            progress(QStringLiteral("已经完成数："));
            break;
        case WalkMode::Count:
            ++RenamedCount;
            progress(QStringLiteral("统计数："));
            break;
        case WalkMode::Id3Naming:
            if (auto target = id3NamingTarget(folder, name, Form5->templateText(), SepChar))
                batch.add(joinPath(folder, name), std::move(*target));
            // Reading every tag of a large tree takes a while before the first rename.
            if (++visited % 200 == 0) showStatus(QStringLiteral("已查看的文件数：") + QString::number(visited));
            break;
        }
    };
    QString failure;
    try {
        if (auto unreadable = walkTree(ui.FileListBox1->directory(), visit)) {
            const bool listing = mode == WalkMode::ListNames || mode == WalkMode::Count;
            failure = listing ? QStringLiteral("I/O error %1").arg(unreadable->error)
                              : toQ(unreadableFolderMessage(*unreadable));
        }
    } catch (const FileError& e) {
        failure = toQ(e.what());
    }
    // What was gathered before a failure is renamed all the same, as it would have been
    // file by file.
    if (!batch.empty())
        runBatch(batch, mode == WalkMode::Rename ? simpleNamingHeld() : skipHeldNames(), QStringLiteral("已经命名数："));
    // Listed names are added in one go, which is what suspending the area's repaint is for.
    if (!listed.isEmpty()) {
        if (ui.Memo1->document()->isEmpty()) ui.Memo1->setPlainText(listed.join('\n'));
        else ui.Memo1->appendPlainText(listed.join('\n'));
    }
    if (failure.isEmpty()) return true;
    prompts().error(this, failure);
    return false;
}

bool TForm1::nameWholeTree(WalkMode mode) {
    if (!prompts().question(this, kWholeTreeQuestion) || !mayStartRenaming()) return false;
    setCurrentDirectory(ui.FileListBox1->directory());
    RenamedCount = 0;
    UndoList.startBatch();
    const bool completed = MakeTree(mode);
    // A walk that ended early keeps what it renamed: that much can still be undone.
    if (completed || !UndoList.empty()) enableUndo();
    if (!completed && !UndoList.empty()) ui.FileListBox1->reread();
    return completed;
}

void TForm1::N1Click() {
    if (!namingFormatChosen() || !nameWholeTree(WalkMode::Rename)) return;
    showCountAnd(QStringLiteral("个文件已按指定格式重命名"));
    ui.FileListBox1->reread();
}

void TForm1::N14Click() {
    if (!namingFormatChosen() || !mayStartRenaming()) return;
    RenamedCount = 0;
    showCountAnd(QStringLiteral("稍候，操作进行中"));
    UndoList.startBatch();
    const std::string folder = ui.FileListBox1->directory();
    const SimpleNaming naming = simpleNaming();
    RenameBatch batch;
    for (int i = 0; i < ui.FileListBox1->count(); ++i) {
        const std::string path = joinPath(folder, ui.FileListBox1->itemBytes(i));
        if (auto target = simpleNamingTarget(folder, path, naming)) batch.add(path, std::move(*target));
    }
    runBatch(batch, simpleNamingHeld());
    enableUndo();
    showCountAnd(QStringLiteral("个文件已按指定格式重命名"));
    RenamedCount = 0;
    ui.FileListBox1->reread();
}

void TForm1::BitBtn4Click() {
    if (ui.RadioButton1->isChecked()) N1Click();
    else N14Click();
}

bool TForm1::renameClickedFile(const std::string& path) {
    if (!namingFormatChosen() || !mayStartRenaming()) return false;
    RenamedCount = 0;
    ReName(path);
    showCountAnd(QStringLiteral("个文件已按指定格式重命名"));
    RenamedCount = 0;
    ui.FileListBox1->reread();
    return true;
}

void TForm1::ID31Click() {
    RenamedCount = 0;
    if (Form5->exec() != QDialog::Accepted || !mayStartRenaming()) return;
    UndoList.startBatch();
    const std::string folder = ui.FileListBox1->directory();
    RenameBatch batch;
    QString failure;
    try {
        for (int i = 0; i < ui.FileListBox1->count(); ++i) {
            const std::string name = ui.FileListBox1->itemBytes(i);
            if (auto target = id3NamingTarget(folder, name, Form5->templateText(), SepChar))
                batch.add(joinPath(folder, name), std::move(*target));
        }
    } catch (const FileError& e) {
        failure = toQ(e.what());
    }
    // The files read before a failure are renamed all the same, and can be undone.
    runBatch(batch, skipHeldNames());
    if (!failure.isEmpty()) {
        if (!UndoList.empty()) {
            enableUndo();
            ui.FileListBox1->reread();
        }
        prompts().error(this, failure);
        return;
    }
    enableUndo();
    ui.FileListBox1->reread();
    showStatus(QStringLiteral("被重命名的文件数为") + QString::number(RenamedCount));
}

void TForm1::ID32Click() {
    if (Form5->exec() != QDialog::Accepted || !nameWholeTree(WalkMode::Id3Naming)) return;
    ui.FileListBox1->reread();
    showCountAnd(QStringLiteral("已按指定格式重命名"));
}

void TForm1::BitBtn5Click() {
    if (ui.RadioButton1->isChecked()) ID32Click();
    else ID31Click();
}

}  // namespace quilvane
