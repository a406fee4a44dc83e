#include "app/gui/form1.h"

#include <QDropEvent>
#include <QEvent>
#include <QFocusEvent>
#include <QMenu>
#include <QShowEvent>
#include <QTimer>

#include "app/file_filters.h"
#include "naming/gui/form5.h"
#include "platform/paths.h"
#include "platform/qt/folder_tree_model.h"
#include "platform/qt/qtext.h"
#include "platform/qt/row_font.h"
#include "tags/genres.h"

namespace quilvane {

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
    ui.setupUi(this);
    setUpStatusBar();
    setUpPopupMenu();
    setUpFolderTree();
    setUpInformationPanel();
    setUpRows();
    setUpAboutPicture();
    connectHandlers();
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::setUpStatusBar() {
    ui.StatusBar1->setPanelWidths({300, 600, 50});
    ui.StatusBar1->setPanelText(2, QStringLiteral("作者: Orvek"));
}

void TForm1::setUpInformationPanel() {
    for (std::string_view genre : Genres) ui.ComboBox1->addItem(toQ(genre));
    ui.ComboBox1->setCurrentIndex(-1);
    // Only read-only can be changed here: hidden is the dot at the start of a name, and
    // the system and archive attributes do not exist.
    for (QCheckBox* box : {ui.Hidden, ui.System, ui.Archive}) box->setEnabled(false);
}

// Line k of the editing area stands beside entry k of the list: one font, one row height,
// and no margin above the first line.
void TForm1::setUpRows() {
    const QFont font = rowFont();
    ui.FileListBox1->setRowFont(font);
    ui.Memo1->setFont(font);
    ui.Memo1->document()->setDocumentMargin(0);
}

void TForm1::setUpPopupMenu() {
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->addActions({ui.N23, ui.N44, ui.N41, ui.N52, ui.N45, ui.N53});
    connect(ui.FileListBox1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const QModelIndex index = ui.FileListBox1->indexAt(at);
        if (index.isValid()) ui.FileListBox1->setItemIndex(index.row());
        PopupMenu1->popup(ui.FileListBox1->viewport()->mapToGlobal(at));
    });
}

void TForm1::setUpFolderTree() {
    FolderModel = new FolderTreeModel(this);
    // A folder that leaves the tree (gone from the disk) makes the view pick another current
    // item, and picks it by a row that the removal then shifts: the list must not follow it
    // to a folder the user never chose. The tree is put back on the list's folder instead.
    // Connected before the view is, so that the count is up before the view moves its item.
    connect(FolderModel, &QAbstractItemModel::rowsAboutToBeRemoved, this, [this] { ++treeRowsLeaving_; });
    // Once the view has dealt with the removal too: the commands that read the tree again
    // also put it back themselves, at once.
    connect(FolderModel, &QAbstractItemModel::rowsRemoved, this, [this] {
        if (--treeRowsLeaving_ == 0) QTimer::singleShot(0, this, &TForm1::keepTreeOnListFolder);
    });
    ui.ShellTreeView1->setModel(FolderModel);
    ui.ShellTreeView1->setIndentation(19);
    // Opening a folder shows what it holds now, folders made meanwhile included.
    connect(ui.ShellTreeView1, &QTreeView::expanded, FolderModel, &FolderTreeModel::reread);
    // Entries of the file list are dropped on its folders.
    ui.ShellTreeView1->viewport()->setAcceptDrops(true);
    ui.ShellTreeView1->viewport()->installEventFilter(this);
}

void TForm1::setUpFilter() {
    ui.FilterComboBox1->clear();
    for (const FileFilter& f : kFileFilters)
        ui.FilterComboBox1->addItem(toQ(f.description), toQ(f.mask));
    connect(ui.FilterComboBox1, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) ui.FileListBox1->setMask(ui.FilterComboBox1->itemData(index).toString());
    });
}

void TForm1::connectHandlers() {
    connect(ui.N1, &QAction::triggered, this, &TForm1::N1Click);
    connect(ui.N14, &QAction::triggered, this, &TForm1::N14Click);
    connect(ui.BitBtn4, &QPushButton::clicked, this, &TForm1::BitBtn4Click);
    connect(ui.ID31, &QAction::triggered, this, &TForm1::ID31Click);
    connect(ui.ID32, &QAction::triggered, this, &TForm1::ID32Click);
    connect(ui.BitBtn5, &QPushButton::clicked, this, &TForm1::BitBtn5Click);
    connect(ui.N50, &QAction::triggered, this, &TForm1::N50Click);
    connect(ui.N54, &QAction::triggered, this, &TForm1::N54Click);
    connect(ui.N23, &QAction::triggered, this, &TForm1::N23Click);
    connect(ui.N41, &QAction::triggered, this, &TForm1::N41Click);
    connect(ui.N3, &QAction::triggered, this, &TForm1::N3Click);
    connect(ui.N47, &QAction::triggered, this, &TForm1::N47Click);
    connect(ui.N45, &QAction::triggered, this, &TForm1::N45Click);
    connect(ui.FileListBox1, &TFileListBox::endDrag, this, &TForm1::FileListBox1EndDrag);
    connect(ui.V1V21, &QAction::triggered, this, &TForm1::V1V21Click);
    connect(ui.N40, &QAction::triggered, this, &TForm1::N40Click);
    connect(ui.N55, &QAction::triggered, this, &TForm1::N55Click);
    connect(ui.BitBtn8, &QPushButton::clicked, this, &TForm1::V1V21Click);
    connect(ui.BitBtn7, &QPushButton::clicked, this, &TForm1::N50Click);
    connect(ui.Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(ui.N8, &QAction::triggered, this, &TForm1::N8Click);
    connect(ui.CheckBox1, &QCheckBox::toggled, this, &TForm1::CheckBox1Click);
    connect(ui.Edit3, &QLineEdit::textChanged, this, &TForm1::Edit3Change);
    connect(ui.CheckBox4, &QCheckBox::toggled, this, &TForm1::CheckBox4Click);
    connect(ui.Edit5, &QLineEdit::textChanged, this, &TForm1::Edit5Change);
    connect(ui.CheckBox2, &QCheckBox::toggled, this, &TForm1::CheckBox2Click);
    connect(ui.Edit4, &QLineEdit::textChanged, this, &TForm1::Edit4Change);
    connect(ui.RadioGroup1, &TRadioGroup::clicked, this, &TForm1::RadioGroup1Click);
    connect(ui.RadioGroup2, &TRadioGroup::clicked, this, &TForm1::RadioGroup2Click);
    connect(ui.RadioGroup3, &TRadioGroup::clicked, this, &TForm1::RadioGroup3Click);
    connect(ui.ShellTreeView1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TForm1::ShellTreeView1Change);
    // After a drop the tree keeps the target highlighted while the list went back to its
    // own folder: a click on the highlighted folder still opens it.
    connect(ui.ShellTreeView1, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (index == ui.ShellTreeView1->currentIndex() && FolderModel->pathOf(index) != ui.FileListBox1->directory())
            ShellTreeView1Change();
    });
    connect(ui.FileListBox1, &TFileListBox::itemClicked, this, &TForm1::FileListBox1Click);
    connect(ui.FileListBox1, &TFileListBox::entriesReplaced, this, &TForm1::forgetVanishedEntry);
    connect(ui.FileListBox1, &QAbstractItemView::doubleClicked, this, &TForm1::FileListBox1DblClick);
    connect(ui.FileListBox1, &TFileListBox::keyDown, this, &TForm1::FileListBox1KeyDown);
    connect(ui.N44, &QAction::triggered, this, &TForm1::FileListBox1DblClick);
    connect(ui.N42, &QAction::triggered, this, &TForm1::N42Click);
    connect(ui.N52, &QAction::triggered, this, &TForm1::N52Click);
    connect(ui.N53, &QAction::triggered, this, &TForm1::N53Click);
    connect(ui.Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    connect(ui.Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
    connect(ui.BitBtn2, &QPushButton::clicked, this, &TForm1::BitBtn2Click);
    connect(ui.BitBtn3, &QPushButton::clicked, this, &TForm1::BitBtn3Click);
    ui.Edit4->installEventFilter(this);
    ui.Edit5->installEventFilter(this);
    ui.Image2->installEventFilter(this);
    setUpLayoutRules();
    connectEditingHandlers();
    connectTagFieldHandlers();
}

void TForm1::FormCreate() {
    ui.RadioGroup3->setItemIndex(0);
    ui.RadioGroup2->setItemIndex(0);
    ui.RadioButton2->setChecked(true);
    setUpFilter();
    NameStyle_ = NameStyle::None;
    ui.Edit3->setEnabled(false);
    ui.CheckBox1->setChecked(true);
    ui.CheckBox2->setChecked(false);
    ui.Edit4->setEnabled(false);
    ui.Button1->setEnabled(false);
    ui.BitBtn7->setEnabled(false);
    ui.Edit4->setText(QStringLiteral("原后缀"));
    ui.Edit5->setText(QStringLiteral("默认以所在文件夹名为歌手名"));
    ui.Edit5->setEnabled(false);
    SepChar = "-";
    RenamedCount = 0;
    showStatus(QStringLiteral("欢迎使用Quilvane!"));
    EditBackup.clear();
    UndoList.clear();
    Form5 = new TForm5(this);
    DropAction = DropKind::Nothing;
    ui.N50->setEnabled(false);
    // The list shows the working directory the program started in, with every file.
    ui.FileListBox1->setDirectory(currentDirectory());
    selectFolderInTree(ui.FileListBox1->directory());
    offerJournalUndo();
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TForm1::FormShow() {
    ui.Panel9->hide();
    ui.Panel10->hide();
    // The left half starts at its limit, so the tag panel fits beside the file details.
    ui.Splitter1->setSizes({ui.Panel6->maximumWidth(), width() - ui.Panel6->maximumWidth()});
    Panel2Resize();
    ui.ShellTreeView1->scrollTo(ui.ShellTreeView1->currentIndex(), QAbstractItemView::PositionAtCenter);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    // Leaving the box for another control is an exit; a message box or a menu taking the
    // focus for a moment is not.
    if (watched == ui.Edit4 && event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) Edit4Exit();
    }
    if (watched == ui.Edit5 && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, ui.Edit5, &QLineEdit::selectAll);
    if (watched == ui.Panel2 && event->type() == QEvent::Resize) Panel2Resize();
    if (watched == ui.Panel7 && event->type() == QEvent::Resize) Panel7Resize();
    if (watched == ui.Image2 && event->type() == QEvent::MouseButtonDblClick) Image2DblClick();
    if (watched == ui.Image1 && event->type() == QEvent::MouseButtonRelease) N3Click();
    if (watched == ui.Memo1 && event->type() == QEvent::KeyRelease) SelecteInlist();
    if (watched == ui.ShellTreeView1->viewport()) {
        const auto type = event->type();
        if (type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop) {
            auto* drag = static_cast<QDropEvent*>(event);
            if (!ShellTreeView1DragOver(drag->source())) return false;
            drag->acceptProposedAction();
            // Carried out once the drag has ended: its questions are no part of it.
            if (type == QEvent::Drop)
                QMetaObject::invokeMethod(
                    this,
                    [this, at = drag->position().toPoint(), dragged = ui.FileListBox1->dragged()] {
                        ShellTreeView1DragDrop(at, dragged);
                    },
                    Qt::QueuedConnection);
            return true;
        }
    }
    if (watched == ui.Memo1->viewport()) {
        switch (event->type()) {
        case QEvent::MouseButtonRelease: SelecteInlist(); break;
        case QEvent::MouseButtonDblClick: Memo1DblClick(); break;
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (!Memo1DragOver(drag->source())) return false;
            drag->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (!Memo1DragOver(drop->source())) return false;
            drop->acceptProposedAction();
            Memo1DragDrop();
            return true;
        }
        default: break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::showStatus(const QString& text) { ui.StatusBar1->showNow(0, text); }

QStringList TForm1::memoLines() const {
    const QString text = ui.Memo1->toPlainText();
    if (text.isEmpty()) return {};
    QStringList lines = text.split(QLatin1Char('\n'));
    // A line break at the very end ends the last line; it does not begin another.
    if (text.endsWith(QLatin1Char('\n'))) lines.removeLast();
    return lines;
}

void TForm1::setMemoLines(const QStringList& lines) { ui.Memo1->setPlainText(lines.join('\n')); }

std::vector<std::string> TForm1::editLines() const {
    std::vector<std::string> lines;
    for (const QString& line : memoLines()) lines.push_back(fromQ(line));
    return lines;
}

void TForm1::setEditLines(const std::vector<std::string>& lines) {
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& line : lines) texts << toQ(line);
    setMemoLines(texts);
}

void TForm1::takeEditBackup() { takeEditBackup(memoLines()); }

void TForm1::takeEditBackup(const QStringList& lines) {
    ui.Button1->setEnabled(true);
    EditBackup = lines;
}

void TForm1::N8Click() { close(); }

}  // namespace quilvane
