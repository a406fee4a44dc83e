#include "platform/qt/status_bar.h"

namespace quilvane {

TStatusBar::TStatusBar(QWidget* parent) : QStatusBar(parent) { setSizeGripEnabled(true); }

void TStatusBar::setPanelWidths(const QList<int>& widths) {
    for (QLabel* p : panels_) {
        removeWidget(p);
        delete p;
    }
    panels_.clear();
    for (int i = 0; i < widths.size(); ++i) {
        auto* panel = new QLabel(this);
        panel->setObjectName(QStringLiteral("%1_panel%2").arg(objectName()).arg(i));
        panel->setMinimumWidth(widths[i]);
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        // The last panel takes what is left of the bar.
        addWidget(panel, i + 1 == widths.size() ? 1 : 0);
        panels_.push_back(panel);
    }
}

QString TStatusBar::panelText(int panel) const {
    return panel >= 0 && panel < static_cast<int>(panels_.size()) ? panels_[panel]->text() : QString();
}

void TStatusBar::setPanelText(int panel, const QString& text) {
    if (panel < 0 || panel >= static_cast<int>(panels_.size())) return;
    panels_[panel]->setText(text);
    emit panelTextChanged(panel, text);
}

void TStatusBar::showNow(int panel, const QString& text) {
    setPanelText(panel, text);
    repaint();
}

}  // namespace quilvane
