#pragma once
// The findings of the repair dialog as a table: a check box per row, the file, where the
// text is, what other programs show, what the program reads, and the reading, which can
// be changed in place (GBK, Big5, Shift-JIS, Latin-1) with the text following at once.
#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <vector>

#include "tageditor/repair_findings.h"

namespace quilvane {

class RepairFindingsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Below this confidence (in percent) a detected reading is shown as doubtful.
    static constexpr int kDoubtfulBelow = 80;
    enum Column { Checked, File, Where, ShownToday, ReadAs, Reading, Confidence, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Files are shown relative to the scanned folder.
    void clear(const std::string& folder);
    void append(std::vector<RepairFinding> findings);
    void checkAll(bool checked);
    const std::vector<RepairFinding>& findings() const { return findings_; }
    RepairFinding& finding(int row) { return findings_[static_cast<std::size_t>(row)]; }

private:
    std::string folder_;
    std::vector<RepairFinding> findings_;
};

// The reading column's editor: a list of the readings a row may take.
class ReadingDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    // The width the editor needs to show its longest reading.
    static int editorWidth(QWidget* parent);
};

}  // namespace quilvane
