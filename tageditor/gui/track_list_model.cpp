#include "tageditor/gui/track_list_model.h"

#include "platform/qt/qtext.h"

namespace quilvane {

const std::array<const char*, 13> TrackListModel::kCaptions{"序号", "文件名", "标题", "歌手", "专辑", "时间", "注释",
                                                          "流派", "作曲家", "原创者", "版权", "URL", "编码者"};

int TrackListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

int TrackListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 13; }

QVariant TrackListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(shown_.size())) return {};
    const Shown& row = shown_[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole) return index.column() == 0 ? row.number : row.cells[static_cast<std::size_t>(index.column() - 1)];
    // Sorting by the first column goes by number: 2 before 10.
    if (role == Qt::UserRole) {
        if (index.column() == 0) return row.number.toLongLong();
        return row.cells[static_cast<std::size_t>(index.column() - 1)];
    }
    return {};
}

QVariant TrackListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 13)
        return QString::fromUtf8(kCaptions[static_cast<std::size_t>(section)]);
    return QAbstractTableModel::headerData(section, orientation, role);
}

void TrackListModel::clear() {
    beginResetModel();
    rows_.clear();
    shown_.clear();
    endResetModel();
}

std::array<int, 13> TrackListModel::appendRows(std::vector<TrackRow> rows, const QFontMetrics& metrics) {
    std::array<int, 13> widest{};
    if (rows.empty()) return widest;
    const int first = static_cast<int>(shown_.size());
    beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    for (TrackRow& row : rows) {
        Shown shown;
        shown.number = toQ(row.number);
        widest[0] = std::max(widest[0], metrics.horizontalAdvance(shown.number));
        for (std::size_t c = 0; c < 12; ++c) {
            shown.cells[c] = toQ(row.cells[c]);
            widest[c + 1] = std::max(widest[c + 1], metrics.horizontalAdvance(shown.cells[c]));
        }
        shown_.push_back(std::move(shown));
        rows_.push_back(std::move(row));
    }
    endInsertRows();
    return widest;
}

}  // namespace quilvane
