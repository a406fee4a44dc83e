// The batch naming commands of the main window: simple naming over the folder or its
// tree, ID3 naming by template, and the tree walk they share with the listing commands.
#include <QTextDocument>

#include "app/gui/form1.h"
#include "naming/gui/form5.h"
#include "app/name_rules.h"
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
    RenameSession session = renameSession();
    const SimpleNaming naming = simpleNaming();
    QStringList listed;
    const auto progress = [this](const QString& text) {
        if (RenamedCount % 10 == 0) showStatus(text + QString::number(RenamedCount));
    };
    const auto visit = [&](const std::string& folder, const std::string& name) {
        switch (mode) {
        case WalkMode::Rename:
            renameBySimpleRule(folder, joinPath(folder, name), naming, session);
            progress(QStringLiteral("已经命名数："));
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
            if (id3NamingStep(folder, name)) progress(QStringLiteral("已经命名数："));
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
    if (!prompts().question(this, kWholeTreeQuestion)) return false;
    setCurrentDirectory(ui.FileListBox1->directory());
    RenamedCount = 0;
    UndoList.clear();
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
    if (!namingFormatChosen()) return;
    RenamedCount = 0;
    showCountAnd(QStringLiteral("稍候，操作进行中"));
    UndoList.clear();
    const std::string folder = ui.FileListBox1->directory();
    for (int i = 0; i < ui.FileListBox1->count(); ++i) ReName(joinPath(folder, ui.FileListBox1->itemBytes(i)));
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
    if (!namingFormatChosen()) return false;
    RenamedCount = 0;
    ReName(path);
    showCountAnd(QStringLiteral("个文件已按指定格式重命名"));
    RenamedCount = 0;
    ui.FileListBox1->reread();
    return true;
}

bool TForm1::id3NamingStep(const std::string& folder, const std::string& name) {
    if (!hasMp3Extension(name)) return false;
    const std::string path = joinPath(folder, name);
    // A pipe or device named like an MP3 file has no tag and is passed over.
    if (!isRegularFile(path)) return false;
    const TagBlock tag = readTagBlock(path);
    if (!isId3NamingCandidate(name, tag)) return false;
    const std::string newName = buildId3Name(Form5->templateText(), tag, SepChar);
    return isApplicableName(newName) && renameAndLog(path, joinPath(folder, newName), UndoList, RenamedCount);
}

void TForm1::ID31Click() {
    RenamedCount = 0;
    if (Form5->exec() != QDialog::Accepted) return;
    UndoList.clear();
    const std::string folder = ui.FileListBox1->directory();
    try {
        for (int i = 0; i < ui.FileListBox1->count(); ++i) id3NamingStep(folder, ui.FileListBox1->itemBytes(i));
    } catch (const FileError& e) {
        // What was renamed before the failure stays renamed, and can be undone.
        if (!UndoList.empty()) {
            enableUndo();
            ui.FileListBox1->reread();
        }
        prompts().error(this, toQ(e.what()));
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
