#pragma once
// The help page in a window of the program's own, for a desktop that cannot open it in
// a web browser (none installed, or no desktop at all). One window a parent, raised
// again when asked for again.
#include <QDialog>
#include <string>

class QTextBrowser;

namespace quilvane {

class HelpWindow final : public QDialog {
    Q_OBJECT
public:
    HelpWindow(QWidget* parent, const std::string& helpFile);
    // The parent's help window, made on first use, shown and raised.
    static HelpWindow* showFor(QWidget* parent, const std::string& helpFile);
    QTextBrowser* browser() const { return browser_; }

private:
    QTextBrowser* browser_;
};

}  // namespace quilvane
