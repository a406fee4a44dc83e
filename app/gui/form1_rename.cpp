// The rename primitive, its undo, and the settings that feed the simple naming.
#include <QDateTime>

#include "app/gui/form1.h"
#include "app/gui/separator_box.h"
#include "rename/setting_checks.h"
#include "platform/paths.h"
#include "platform/qt/prompts.h"
#include "platform/qt/qtext.h"
#include "platform/text.h"

namespace quilvane {

SimpleNaming TForm1::simpleNaming() const {
    SimpleNaming naming;
    naming.style = NameStyle_;
    naming.separator = SepChar;
    if (ui.CheckBox4->isChecked()) naming.artist = fromQ(ui.Edit5->text());
    return naming;
}

RenameSession TForm1::renameSession() {
    return RenameSession{UndoList, RenamedCount, [this](const std::string& question) {
                             return prompts().question(this, toQ(question));
                         }};
}

void TForm1::ReName(const std::string& path) {
    RenameSession session = renameSession();
    renameBySimpleRule(folderOf(path), path, simpleNaming(), session);
}

HeldNameHandler TForm1::simpleNamingHeld() {
    return simpleNamingHeldName([this](const std::string& question) { return prompts().question(this, toQ(question)); });
}

HeldNameHandler TForm1::skipHeldNames() {
    return [](const std::string&, const std::string&) { return HeldName::Skip; };
}

void TForm1::runBatch(RenameBatch& batch, const HeldNameHandler& held, const QString& progressText) {
    const std::int32_t before = RenamedCount;
    const BatchOutcome outcome = batch.run(UndoList, held, [&](int renamed) {
        RenamedCount = before + renamed;
        if (!progressText.isEmpty() && RenamedCount % 10 == 0) showStatus(progressText + QString::number(RenamedCount));
    });
    RenamedCount = before + outcome.renamed;
    if (!outcome.sameNameAsEarlier.empty()) prompts().notice(this, toQ(sameNameText(outcome.sameNameAsEarlier)));
    reportJournalProblem();
}

// Said once for each new problem: the renames went on, only their undo after a restart is lost.
void TForm1::reportJournalProblem() {
    const QString problem = toQ(journal_.problem());
    // The user was asked before this batch and chose to rename without a way back.
    if (journalAsked_) {
        journalAsked_ = false;
        reportedJournalProblem_ = problem;
        return;
    }
    if (problem.isEmpty() || problem == reportedJournalProblem_) return;
    reportedJournalProblem_ = problem;
    prompts().notice(this, problem);
}

bool TForm1::mayStartRenaming() {
    if (sorting_) {
        prompts().notice(this, QStringLiteral("正在归类文件，请等归类结束后再改名"));
        return false;
    }
    journal_.describe("Quilvane 窗口", ui.FileListBox1->directory());
    if (journal_.lockedByAnother() || journal_.writable()) return true;
    journalAsked_ = prompts().question(this, toQ(journal_.problem()) + QStringLiteral("，这一批改名将不能撤销。仍然改名吗？"));
    return journalAsked_;
}

void TForm1::offerJournalUndo() {
    UndoList.keepJournal(&journal_);
    const auto batch = journal_.load();
    if (!batch) return;
    const std::size_t files = filesRenamedIn(batch->renames);
    UndoList.adopt(batch->renames);
    enableUndo();
    const QString when = QDateTime::fromSecsSinceEpoch(batch->started).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    showStatus(QStringLiteral("上次改名（%1，%2个文件）可以用“撤销更名”恢复").arg(when).arg(files));
}

void TForm1::enableUndo() {
    ui.N50->setEnabled(true);
    ui.BitBtn7->setEnabled(true);
}

quilvane::UndoList* TForm1::beginSortingBatch(const std::string& searchFolder) {
    journal_.describe("文件归类", searchFolder);
    UndoList.startBatch();
    sorting_ = true;
    return &UndoList;
}

void TForm1::endSortingBatch() {
    sorting_ = false;
    reportJournalProblem();
    if (UndoList.empty()) return;
    enableUndo();
}

void TForm1::N50Click() {
    if (sorting_) {
        prompts().notice(this, QStringLiteral("正在归类文件，请等归类结束后再撤销"));
        return;
    }
    if (UndoList.empty()) return;
    const UndoResult result = undoRenames(UndoList, [this](int k) {
        showStatus(QString::number(k) + QStringLiteral("个文件名已恢复"));
    });
    showStatus(QString::number(result.restored) + QStringLiteral("个文件撤销完成"));
    // Names that could not be given back can be tried again once their old names are free.
    ui.N50->setEnabled(!UndoList.empty());
    ui.BitBtn7->setEnabled(!UndoList.empty());
    ui.FileListBox1->reread();
    if (!result.failed.empty()) prompts().notice(this, toQ(unrestoredNamesText(result.failed)));
}

void TForm1::Button1Click() {
    ui.Button1->setEnabled(false);
    setMemoLines(EditBackup);
    EditBackup.clear();
}

void TForm1::CheckBox1Click() {
    if (ui.CheckBox1->isChecked()) {
        ui.Edit3->setEnabled(false);
        ui.Edit3->setText(QStringLiteral(" -"));
    } else {
        ui.Edit3->setEnabled(true);
        ui.Edit3->clear();
        ui.Edit3->setFocus();
    }
}

void TForm1::Edit3Change() { takeSeparatorFrom(ui.Edit3, SepChar, this); }

void TForm1::CheckBox4Click() {
    if (ui.CheckBox4->isChecked()) {
        ui.Edit5->setEnabled(true);
        ui.Edit5->setText(QStringLiteral("请输入歌手名字"));
        ui.Edit5->setFocus();
    } else {
        ui.Edit5->setEnabled(false);
        ui.Edit5->setText(QStringLiteral("默认以所在文件夹名为歌手名"));
    }
}

void TForm1::Edit5Change() {
    if (!artistNameIsBlank(fromQ(ui.Edit5->text()))) return;
    prompts().notice(this, QStringLiteral("歌手名不能为空"));
    ui.Edit5->setFocus();
}

void TForm1::CheckBox2Click() {
    if (ui.CheckBox2->isChecked()) {
        ui.Edit4->setEnabled(true);
        ui.Edit4->clear();
        ui.Edit4->setFocus();
    } else {
        ui.Edit4->setEnabled(false);
        ui.Edit4->setText(QStringLiteral("原后缀"));
    }
}

void TForm1::Edit4Change() {
    switch (checkExtensionText(fromQ(ui.Edit4->text()))) {
    case ExtensionProblem::StartsWithDot:
        prompts().notice(this, QStringLiteral("不用输入后缀"));
        ui.Edit4->clear();
        break;
    case ExtensionProblem::ContainsDot:
        prompts().notice(this, QStringLiteral("不能包含小数点"));
        ui.Edit4->clear();
        break;
    case ExtensionProblem::None: break;
    }
}

void TForm1::Edit4Exit() {
    const std::string extension(trimLeadingBlanks(fromQ(ui.Edit4->text())));
    if (isBlank(fromQ(ui.Memo1->toPlainText())) || extension.empty()) return;
    if (!prompts().question(this, QStringLiteral("确定全部改变后缀？"))) return;
    std::vector<std::string> lines;
    for (const QString& line : memoLines()) lines.push_back(fromQ(line));
    changeExtensions(lines, extension);
    QStringList changed;
    for (const std::string& line : lines) changed << toQ(line);
    setMemoLines(changed);
}

void TForm1::RadioGroup1Click() {
    NameStyle_ = ui.RadioGroup1->isItemChecked(0) ? NameStyle::AfterSeparator : NameStyle::ArtistInFront;
}

void TForm1::RadioGroup2Click() {
    DropAction = ui.RadioGroup2->isItemChecked(0) ? DropKind::Copy : DropKind::Move;
}

}  // namespace quilvane
