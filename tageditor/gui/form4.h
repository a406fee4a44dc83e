#pragma once
// The track information list "曲目信息": the tags of many files in one table, filled by
// the main window's "显示所有ID信息" and by the tag editor's scan. Rows come in batches;
// a click on a column's header sorts by it, and Ctrl+C copies the selected rows as
// tab-separated text.
#include <QSortFilterProxyModel>
#include <QWidget>
#include <array>

#include "tageditor/gui/track_list_model.h"
#include "ui_TForm4.h"

namespace quilvane {

class TForm4 : public QWidget {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);

    Ui::TForm4 ui;
    TrackListModel& model() { return model_; }
    void clear();
    // Adds the rows and widens the columns their texts need; repaints at once.
    void appendRows(std::vector<TrackRow> rows);
    // The selected rows, in the order shown, as lines of tab-separated cells.
    QString selectedRowsText() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TrackListModel model_;
    QSortFilterProxyModel sorted_;
    std::array<int, 13> widths_{};
};

}  // namespace quilvane
