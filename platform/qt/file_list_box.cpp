#include "platform/qt/file_list_box.h"

#include <QApplication>
#include <QDrag>
#include <QKeyEvent>
#include <QMimeData>
#include <QStyle>
#include <QStyledItemDelegate>

#include "platform/paths.h"
#include "platform/qt/qtext.h"
#include "platform/qt/row_font.h"
#include "platform/qt/virtual_keys.h"
#include "platform/text.h"

namespace quilvane {
namespace {

bool isProgram(const std::string& name) {
    const auto dot = name.rfind('.');
    if (dot == std::string::npos) return false;
    const std::string ext = asciiUpper(name.substr(dot));
    return ext == ".EXE" || ext == ".COM" || ext == ".BAT" || ext == ".PIF";
}

const std::string kNoEntry;

class RowDelegate : public QStyledItemDelegate {
public:
    RowDelegate(int height, QObject* parent) : QStyledItemDelegate(parent), height_(height) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), height_};
    }

private:
    int height_;
};

}  // namespace

int FileListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(entries_.size())) return {};
    const auto row = static_cast<std::size_t>(index.row());
    if (role == Qt::DisplayRole) return texts_[row];
    if (role == Qt::DecorationRole) {
        const std::string& e = entries_[row];
        if (!e.empty() && e.front() == '[') return folderIcon_;
        return isProgram(e) ? programIcon_ : fileIcon_;
    }
    return {};
}

Qt::ItemFlags FileListModel::flags(const QModelIndex& index) const {
    return QAbstractListModel::flags(index) | Qt::ItemIsDragEnabled;
}

// A drag carries the entry's own bytes; the targets take the list's selection anyway.
QStringList FileListModel::mimeTypes() const { return {QStringLiteral("application/x-quilvane-entry")}; }

QMimeData* FileListModel::mimeData(const QModelIndexList& indexes) const {
    auto* data = new QMimeData;
    if (!indexes.isEmpty() && indexes.front().row() < static_cast<int>(entries_.size()))
        data->setData(mimeTypes().front(), QByteArray::fromStdString(entries_[static_cast<std::size_t>(indexes.front().row())]));
    return data;
}

void FileListModel::setEntries(std::vector<std::string> entries) {
    if (fileIcon_.isNull()) {
        QStyle* style = QApplication::style();
        folderIcon_ = style->standardIcon(QStyle::SP_DirIcon);
        programIcon_ = style->standardIcon(QStyle::SP_ComputerIcon);
        fileIcon_ = style->standardIcon(QStyle::SP_FileIcon);
    }
    beginResetModel();
    entries_ = std::move(entries);
    texts_.clear();
    texts_.reserve(entries_.size());
    for (const std::string& e : entries_) texts_.push_back(displayQ(e));
    endResetModel();
}

TFileListBox::TFileListBox(QWidget* parent) : QListView(parent), model_(this) {
    setModel(&model_);
    connect(this, &QAbstractItemView::clicked, this, &TFileListBox::itemClicked);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    directory_ = currentDirectory();
}

int TFileListBox::read(const std::string& folder) {
    std::vector<std::string> entries;
    const int rc = readFileListEntries(folder, mask_.toStdString(), content_, entries);
    if (rc != 0) return rc;
    if (const int cd = setCurrentDirectory(folder); cd != 0) return cd;
    directory_ = folder;
    model_.setEntries(std::move(entries));
    emit entriesReplaced();
    return 0;
}

int TFileListBox::setDirectory(const std::string& folder) { return read(folder); }

void TFileListBox::setMask(const QString& mask) {
    mask_ = mask;
    reread();
}

void TFileListBox::setContent(ListContent content) {
    content_ = content;
    reread();
}

int TFileListBox::reread() { return read(directory_); }

void TFileListBox::clear() { model_.setEntries({}); }

int TFileListBox::count() const { return model_.rowCount(); }

QString TFileListBox::itemText(int index) const {
    return model_.data(model_.index(index), Qt::DisplayRole).toString();
}

const std::string& TFileListBox::itemBytes(int index) const {
    if (index < 0 || index >= count()) return kNoEntry;
    return model_.entries()[static_cast<std::size_t>(index)];
}

int TFileListBox::itemIndex() const {
    const QModelIndex current = currentIndex();
    return current.isValid() && selectionModel()->isSelected(current) ? current.row() : -1;
}

void TFileListBox::setItemIndex(int index) {
    if (index < 0 || index >= count()) {
        clearSelection();
        return;
    }
    setCurrentIndex(model_.index(index));
}

void TFileListBox::clickItem(int index) {
    setItemIndex(index);
    emit itemClicked();
}

void TFileListBox::keyPressEvent(QKeyEvent* event) {
    emit keyDown(virtualKeyCode(event->key()));
    const int before = itemIndex();
    QListView::keyPressEvent(event);
    if (itemIndex() != before && itemIndex() >= 0) emit itemClicked();
}

void TFileListBox::setRowFont(const QFont& font) {
    setFont(font);
    const int height = rowHeight(font);
    setIconSize(QSize(height - 2, height - 2));
    setSpacing(0);
    setItemDelegate(new RowDelegate(height, this));
}

void TFileListBox::startDrag(Qt::DropActions) {
    const QModelIndexList indexes = selectedIndexes();
    if (indexes.isEmpty()) return;
    dragged_ = {directory_, itemBytes(indexes.front().row())};
    auto* drag = new QDrag(this);
    drag->setMimeData(model_.mimeData(indexes));
    // The drop decides what happens to the entry; the list only learns that it ended.
    const Qt::DropAction done = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
    emit endDrag(done != Qt::IgnoreAction);
}

std::string TFileListBox::selectedPath() const {
    const int index = itemIndex();
    return index < 0 ? std::string() : joinPath(directory_, itemBytes(index));
}

}  // namespace quilvane
