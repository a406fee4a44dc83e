// The editing area and the file list: listing, counting, loading, saving, clearing and
// copying names, following the caret line in the list, drops from the list, and the
// double click that opens the file of a line.
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextCursor>

#include "app/gui/form1.h"
#include "editing/list_correspondence.h"
#include "editing/name_files.h"
#include "naming/tree_walk.h"
#include "platform/file_list_entries.h"
#include "platform/paths.h"
#include "platform/qt/prompts.h"
#include "platform/qt/qtext.h"
#include "platform/qt/shell.h"
#include "platform/text.h"

namespace quilvane {
namespace {

bool isFolderMode(const Ui::TForm1& ui) { return ui.RadioGroup3->isItemChecked(1); }

std::vector<std::string> entriesOf(const TFileListBox& list) {
    std::vector<std::string> entries;
    entries.reserve(static_cast<std::size_t>(list.count()));
    for (int i = 0; i < list.count(); ++i) entries.push_back(list.itemBytes(i));
    return entries;
}

}  // namespace

void TForm1::connectEditingHandlers() {
    connect(ui.N2, &QAction::triggered, this, &TForm1::N2Click);
    connect(ui.BitBtn6, &QPushButton::clicked, this, &TForm1::N2Click);
    connect(ui.N5, &QAction::triggered, this, &TForm1::N5Click);
    connect(ui.N6, &QAction::triggered, this, &TForm1::N6Click);
    connect(ui.N7, &QAction::triggered, this, &TForm1::N7Click);
    connect(ui.N18, &QAction::triggered, this, &TForm1::N18Click);
    connect(ui.N21, &QAction::triggered, this, &TForm1::N21Click);
    connect(ui.N43, &QAction::triggered, this, &TForm1::N43Click);
    connect(ui.BitBtn1, &QPushButton::clicked, this, &TForm1::N43Click);
    const std::pair<QAction*, void (TForm1::*)()> transforms[] = {
        {ui.N11, &TForm1::N11Click}, {ui.N12, &TForm1::N12Click}, {ui.N13, &TForm1::N13Click},
        {ui.N15, &TForm1::N15Click}, {ui.N16, &TForm1::N16Click}, {ui.N17, &TForm1::N17Click},
        {ui.N19, &TForm1::N19Click}, {ui.N20, &TForm1::N20Click}, {ui.N22, &TForm1::N22Click},
        {ui.N36, &TForm1::N36Click}, {ui.N38, &TForm1::N38Click}, {ui.N48, &TForm1::N48Click},
        {ui.N49, &TForm1::N49Click}};
    for (const auto& [action, handler] : transforms) connect(action, &QAction::triggered, this, handler);
    ui.Memo1->installEventFilter(this);
    ui.Memo1->viewport()->installEventFilter(this);
    ui.Memo1->viewport()->setAcceptDrops(true);
}

int TForm1::caretLine() const {
    return ui.Memo1->textCursor().block().blockNumber();
}

void TForm1::SelecteInlist() {
    if (isBlank(fromQ(ui.Memo1->toPlainText()))) return;
    const int line = caretLine();
    TFileListBox& list = *ui.FileListBox1;
    if (line >= list.count()) return;
    const int found = firstEntryStartingWith(entriesOf(list), list.itemBytes(line));
    if (found < 0) return;
    list.setItemIndex(found);
    list.scrollTo(list.model()->index(found, 0), QAbstractItemView::PositionAtTop);
}

void TForm1::Memo1DblClick() {
    if (isBlank(fromQ(ui.Memo1->toPlainText()))) return;
    const std::string line = fromQ(ui.Memo1->textCursor().block().text());
    const std::string folder = isFolderMode(ui) ? SelectedPath : ui.FileListBox1->directory();
    const std::string path = joinPath(folder, line);
    if (isFile(path)) shell().open(this, path);
}

void TForm1::N5Click() {
    takeEditBackup();
    setCurrentDirectory(ui.FileListBox1->directory());
    RenamedCount = 0;
    ui.Memo1->clear();
    if (!MakeTree(WalkMode::ListNames)) return;
    showCountAnd(QStringLiteral("个文件显示完成"));
}

void TForm1::N6Click() {
    setCurrentDirectory(ui.FileListBox1->directory());
    RenamedCount = 0;
    if (!MakeTree(WalkMode::Count)) return;
    showStatus(QStringLiteral("当前文件夹统计有") + QString::number(RenamedCount) + QStringLiteral("个文件"));
}

void TForm1::N21Click() {
    const QString file = prompts().openFileName(this, QStringLiteral("Text File(*.txt);;All File(*.*)"));
    if (file.isEmpty()) return;
    // A file that cannot be read changes nothing; one that is not text is named.
    bool notText = false;
    if (const auto lines = readNameFile(QFile::encodeName(file).toStdString(), &notText)) setEditLines(*lines);
    else if (notText) prompts().notice(this, file + QStringLiteral(" 不是文本文件，编辑区未改动"));
}

void TForm1::N7Click() {
    const QString file = prompts().saveFileName(this, QStringLiteral("Text(*.txt)"));
    if (file.isEmpty()) return;
    const std::string path = QFile::encodeName(file + QStringLiteral(".txt")).toStdString();
    if (!writeNameFile(path, editLines())) prompts().error(this, QStringLiteral("Cannot create file ") + displayQ(path));
}

void TForm1::N18Click() {
    takeEditBackup();
    ui.Memo1->clear();
}

void TForm1::N43Click() {
    takeEditBackup();
    std::vector<std::string> names = namesForLines(entriesOf(*ui.FileListBox1), isFolderMode(ui));
    for (std::string& name : names) name = displayName(name);
    setEditLines(names);
}

bool TForm1::FilesList(const std::string& folder, std::vector<std::string>& list) {
    const auto failure = walkTree(folder, [&list](const std::string& in, const std::string& name) {
        list.push_back(joinPath(in, name));
    });
    if (!failure) return true;
    prompts().error(this, QStringLiteral("I/O error %1").arg(failure->error));
    return false;
}

bool TForm1::Memo1DragOver(const QObject* source) const { return source == ui.FileListBox1; }

void TForm1::Memo1DragDrop() {
    const int index = ui.FileListBox1->itemIndex();
    if (index < 0) return;
    const std::string& entry = ui.FileListBox1->itemBytes(index);
    const std::string folder = ui.FileListBox1->directory();
    if (isFolderMode(ui)) {
        if (isDotEntry(entry)) return;
        std::vector<std::string> files;
        if (!FilesList(joinPath(folder, withoutBrackets(entry)), files)) return;
        for (std::string& path : files) path = displayName(fileNameOf(path));
        setEditLines(files);
        return;
    }
    const std::string path = joinPath(folder, entry);
    bool notText = false;
    if (const auto lines = readNameFile(path, &notText)) setEditLines(*lines);
    else if (notText) prompts().notice(this, displayQ(path) + QStringLiteral(" 不是文本文件，编辑区未改动"));
    else prompts().error(this, QStringLiteral("Cannot open file ") + displayQ(path));
}

}  // namespace quilvane
