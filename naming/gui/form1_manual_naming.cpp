// Manual naming: each list entry takes the name on its line of the editing area.
#include "app/gui/form1.h"
#include "naming/manual_naming.h"
#include "platform/qt/prompts.h"
#include "platform/qt/qtext.h"

namespace quilvane {

void TForm1::N2Click() {
    ManualNaming naming;
    naming.folder = ui.FileListBox1->directory();
    naming.folderMode = ui.RadioGroup3->isItemChecked(1);
    for (int i = 0; i < ui.FileListBox1->count(); ++i) naming.entries.push_back(ui.FileListBox1->itemBytes(i));
    naming.lines = editLines();
    // Every entry gets a line; the area keeps the lines added.
    if (naming.lines.size() < naming.entries.size()) {
        naming.lines.resize(naming.entries.size());
        setEditLines(naming.lines);
    }
    if (!mayStartRenaming()) return;
    RenamedCount = 0;
    UndoList.startBatch();
    const ManualNamingResult result = renameFromLines(naming, UndoList, RenamedCount, [this](const std::string& question) {
        return prompts().question(this, toQ(question));
    });
    enableUndo();
    ui.FileListBox1->reread();
    ui.ShellTreeView1->viewport()->update();
    showCountAnd(ui.RadioGroup3->isItemChecked(1) ? QStringLiteral("个文件夹已按编辑区名字重命名")
                                                   : QStringLiteral("个文件已按指定名字重命名"));
    RenamedCount = 0;
    if (!result.refused.empty()) prompts().notice(this, toQ(refusedLinesText(result.refused, naming.lines)));
    if (!result.batch.sameNameAsEarlier.empty())
        prompts().notice(this, toQ(sameNameText(result.batch.sameNameAsEarlier)));
    reportJournalProblem();
}

}  // namespace quilvane
