#include "tageditor/gui/repair_model.h"

#include <QColor>
#include <QComboBox>

#include "platform/display_name.h"
#include "platform/qt/qtext.h"

namespace quilvane {

int RepairFindingsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(findings_.size());
}

int RepairFindingsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant RepairFindingsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const RepairFinding& f = findings_[static_cast<std::size_t>(index.row())];
    if (role == Qt::CheckStateRole && index.column() == Checked) return f.checked ? Qt::Checked : Qt::Unchecked;
    // A doubtful reading stands out, so that the user checks it before repairing.
    const bool doubtful = f.reading == f.detected.charset && f.detected.confidence < kDoubtfulBelow;
    if (doubtful && index.column() == Confidence) {
        if (role == Qt::ForegroundRole) return QColor(Qt::darkRed);
        if (role == Qt::ToolTipRole) return QStringLiteral("可信度低：请核对“本程序读作”，必要时在“编码”一栏改选");
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::ToolTipRole) return {};
    switch (index.column()) {
    case File: {
        const std::string relative = f.path.starts_with(folder_ + "/") ? f.path.substr(folder_.size() + 1) : f.path;
        return displayQ(relative);
    }
    case Where: return toQ(f.where());
    case ShownToday: return toQ(f.shownToday());
    case ReadAs: return toQ(f.readAs());
    case Reading: return role == Qt::EditRole ? QVariant(static_cast<int>(f.reading)) : QVariant(toQ(charsetName(f.reading)));
    case Confidence:
        return f.reading == f.detected.charset ? QStringLiteral("%1%").arg(f.detected.confidence) : QStringLiteral("手选");
    default: return {};
    }
}

bool RepairFindingsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid()) return false;
    RepairFinding& f = findings_[static_cast<std::size_t>(index.row())];
    if (index.column() == Checked && role == Qt::CheckStateRole) {
        f.checked = value.toInt() == Qt::Checked;
        emit dataChanged(index, index, {Qt::CheckStateRole});
        return true;
    }
    if (index.column() == Reading && role == Qt::EditRole) {
        const auto chosen = static_cast<LegacyCharset>(value.toInt());
        // One program wrote a file's tag: the file's other texts whose reading was not
        // chosen by hand are read the same way. The text read and the confidence follow
        // at once.
        for (std::size_t row = 0; row < findings_.size(); ++row) {
            RepairFinding& other = findings_[row];
            const bool sameTag = other.path == f.path && other.kind != RepairKind::LegacyName && f.kind != RepairKind::LegacyName;
            if (&other != &f && !(sameTag && other.reading == other.detected.charset)) continue;
            other.reading = chosen;
            emit dataChanged(this->index(static_cast<int>(row), ReadAs), this->index(static_cast<int>(row), Confidence));
        }
        return true;
    }
    return false;
}

Qt::ItemFlags RepairFindingsModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.column() == Checked) flags |= Qt::ItemIsUserCheckable;
    if (index.column() == Reading) flags |= Qt::ItemIsEditable;
    return flags;
}

QVariant RepairFindingsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const char* captions[ColumnCount] = {"修复", "文件", "位置", "其他程序显示为", "本程序读作", "编码", "可信度"};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < ColumnCount)
        return QString::fromUtf8(captions[section]);
    return QAbstractTableModel::headerData(section, orientation, role);
}

void RepairFindingsModel::clear(const std::string& folder) {
    beginResetModel();
    folder_ = folder;
    findings_.clear();
    endResetModel();
}

void RepairFindingsModel::append(std::vector<RepairFinding> findings) {
    if (findings.empty()) return;
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(findings.size()) - 1);
    for (RepairFinding& f : findings) findings_.push_back(std::move(f));
    endInsertRows();
}

void RepairFindingsModel::checkAll(bool checked) {
    for (RepairFinding& f : findings_) f.checked = checked;
    if (!findings_.empty()) emit dataChanged(index(0, Checked), index(rowCount() - 1, Checked), {Qt::CheckStateRole});
}

namespace {
QComboBox* readingBox(QWidget* parent) {
    auto* box = new QComboBox(parent);
    for (const LegacyCharset c : kRepairReadings) box->addItem(toQ(charsetName(c)), static_cast<int>(c));
    return box;
}
}  // namespace

int ReadingDelegate::editorWidth(QWidget* parent) {
    QComboBox* box = readingBox(parent);
    const int width = box->sizeHint().width();
    delete box;
    return width;
}

QWidget* ReadingDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const {
    QComboBox* box = readingBox(parent);
    // A choice is applied as soon as it is made, not when the editor closes.
    connect(box, &QComboBox::activated, this, [this, box] { emit const_cast<ReadingDelegate*>(this)->commitData(box); });
    return box;
}

void ReadingDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* box = static_cast<QComboBox*>(editor);
    box->setCurrentIndex(box->findData(index.data(Qt::EditRole).toInt()));
}

void ReadingDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const {
    model->setData(index, static_cast<QComboBox*>(editor)->currentData(), Qt::EditRole);
}

}  // namespace quilvane
