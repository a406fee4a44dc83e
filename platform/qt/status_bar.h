#pragma once
// A status bar of fixed-width text panels. The batch commands run on the GUI thread and
// repaint only the status bar while they work, so writing a panel can repaint at once.
#include <QLabel>
#include <QStatusBar>
#include <vector>

namespace quilvane {

class TStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit TStatusBar(QWidget* parent = nullptr);

    void setPanelWidths(const QList<int>& widths);

    QString panelText(int panel) const;
    void setPanelText(int panel, const QString& text);
    // Writes the panel and repaints the status bar immediately.
    void showNow(int panel, const QString& text);

signals:
    void panelTextChanged(int panel, const QString& text);

private:
    std::vector<QLabel*> panels_;
};

}  // namespace quilvane
