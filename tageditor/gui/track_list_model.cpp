#include "tageditor/gui/track_list_model.h"

#include "platform/list_order.h"
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
    // Sorting by the first column goes by number: 2 before 10; the texts as the file list
    // orders names (Chinese by pinyin, Latin letters without regard to case).
    if (role == Qt::UserRole) {
        if (index.column() == 0) return row.number.toLongLong();
        const auto column = static_cast<std::size_t>(index.column() - 1);
        // The key's bytes as Latin-1 characters: compared as text, they keep their order.
        QString& key = row.keys[column];
        if (key.isEmpty() && !row.cells[column].isEmpty())
            key = QString::fromLatin1(listOrderKey(rows_[static_cast<std::size_t>(index.row())].cells[column]));
        return key;
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

namespace {

// A cheap stand-in for a text's width: wide (Chinese) characters count twice. Only the
// widest text of each column by this count is measured with the font.
int roughWidth(const QString& text) {
    int width = 0;
    for (QChar c : text) width += c.unicode() >= 0x1100 ? 2 : 1;
    return width;
}

}  // namespace

std::array<int, 13> TrackListModel::appendRows(std::vector<TrackRow> rows, const QFontMetrics& metrics) {
    std::array<int, 13> widest{};
    if (rows.empty()) return widest;
    std::array<const QString*, 13> longest{};
    std::array<int, 13> longestRough{};
    const auto consider = [&](std::size_t column, const QString& text) {
        const int rough = roughWidth(text);
        if (longest[column] && rough <= longestRough[column]) return;
        longest[column] = &text;
        longestRough[column] = rough;
    };
    const int first = static_cast<int>(shown_.size());
    beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    shown_.reserve(shown_.size() + rows.size());
    for (TrackRow& row : rows) {
        Shown shown;
        shown.number = toQ(row.number);
        for (std::size_t c = 0; c < 12; ++c) shown.cells[c] = toQ(row.cells[c]);
        shown_.push_back(std::move(shown));
        rows_.push_back(std::move(row));
    }
    endInsertRows();
    for (std::size_t r = static_cast<std::size_t>(first); r < shown_.size(); ++r) {
        consider(0, shown_[r].number);
        for (std::size_t c = 0; c < 12; ++c) consider(c + 1, shown_[r].cells[c]);
    }
    for (std::size_t c = 0; c < 13; ++c) widest[c] = longest[c] ? metrics.horizontalAdvance(*longest[c]) : 0;
    return widest;
}

}  // namespace quilvane
