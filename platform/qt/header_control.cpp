#include "platform/qt/header_control.h"

namespace quilvane {

THeaderControl::THeaderControl(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setModel(&model_);
    setSectionsClickable(false);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setStretchLastSection(true);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QStringList THeaderControl::sections() const {
    QStringList captions;
    for (int i = 0; i < model_.columnCount(); ++i)
        captions << model_.headerData(i, Qt::Horizontal).toString();
    return captions;
}

void THeaderControl::setSections(const QStringList& captions) {
    model_.setColumnCount(static_cast<int>(captions.size()));
    for (int i = 0; i < captions.size(); ++i) model_.setHeaderData(i, Qt::Horizontal, captions[i]);
    setFixedHeight(fontMetrics().height() + 8);
}

}  // namespace quilvane
