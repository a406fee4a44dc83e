#pragma once
// The rows of the track information list as a table model: rows come in batches, the
// number column sorts as numbers, and the widest text of each column is remembered so
// the columns can fit their content without measuring every row again.
#include <QAbstractTableModel>
#include <QFontMetrics>
#include <array>
#include <vector>

#include "tageditor/track_rows.h"

namespace quilvane {

class TrackListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void clear();
    // Appends the rows; returns, per column, the widest text among them in `metrics`.
    std::array<int, 13> appendRows(std::vector<TrackRow> rows, const QFontMetrics& metrics);
    const TrackRow& row(int index) const { return rows_[static_cast<std::size_t>(index)]; }

    static const std::array<const char*, 13> kCaptions;

private:
    struct Shown {
        QString number;
        std::array<QString, 12> cells;
        // The cells' keys in the file list's order (pinyin for Chinese), made when a
        // column is first sorted by.
        mutable std::array<QString, 12> keys;
    };
    std::vector<TrackRow> rows_;
    std::vector<Shown> shown_;
};

}  // namespace quilvane
