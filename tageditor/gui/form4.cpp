#include "tageditor/gui/form4.h"

#include <QKeyEvent>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>

namespace quilvane {

TForm4::TForm4(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
    ui.setupUi(this);
    setObjectName(QStringLiteral("Form4"));
    sorted_.setSourceModel(&model_);
    sorted_.setSortRole(Qt::UserRole);
    ui.ListView1->setModel(&sorted_);
    ui.ListView1->verticalHeader()->hide();
    ui.ListView1->verticalHeader()->setDefaultSectionSize(ui.ListView1->fontMetrics().height() + 4);
    ui.ListView1->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    ui.ListView1->setSortingEnabled(true);
    clear();
    ui.ListView1->installEventFilter(this);
}

// The table's own Ctrl+C copies one cell; users of such tables expect whole rows.
bool TForm4::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui.ListView1 && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        QApplication::clipboard()->setText(selectedRowsText());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TForm4::clear() {
    model_.clear();
    const QFontMetrics metrics = ui.ListView1->horizontalHeader()->fontMetrics();
    for (int c = 0; c < 13; ++c) {
        widths_[static_cast<std::size_t>(c)] = metrics.horizontalAdvance(QString::fromUtf8(TrackListModel::kCaptions[static_cast<std::size_t>(c)])) + 24;
        ui.ListView1->setColumnWidth(c, widths_[static_cast<std::size_t>(c)]);
    }
}

void TForm4::appendRows(std::vector<TrackRow> rows) {
    const std::array<int, 13> widest = model_.appendRows(std::move(rows), ui.ListView1->fontMetrics());
    // Columns fit their content, measured once per batch over the new rows only.
    for (std::size_t c = 0; c < 13; ++c) {
        if (widest[c] + 12 <= widths_[c]) continue;
        widths_[c] = widest[c] + 12;
        ui.ListView1->setColumnWidth(static_cast<int>(c), widths_[c]);
    }
    ui.ListView1->viewport()->repaint();
}

QString TForm4::selectedRowsText() const {
    QModelIndexList rows = ui.ListView1->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    QStringList lines;
    for (const QModelIndex& index : rows) {
        QStringList cells;
        for (int c = 0; c < 13; ++c) cells << sorted_.index(index.row(), c).data().toString();
        lines << cells.join('\t');
    }
    return lines.join('\n');
}

}  // namespace quilvane
