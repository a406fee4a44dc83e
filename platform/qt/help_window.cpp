#include "platform/qt/help_window.h"

#include <QFile>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace quilvane {

HelpWindow::HelpWindow(QWidget* parent, const std::string& helpFile) : QDialog(parent), browser_(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("帮助"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    // Links to other pages open in a browser where there is one; the page's own
    // anchors stay here.
    browser_->setOpenExternalLinks(true);
    browser_->setSource(QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(helpFile))));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(760, 600);
}

HelpWindow* HelpWindow::showFor(QWidget* parent, const std::string& helpFile) {
    auto* window = parent ? parent->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    if (window == nullptr) window = new HelpWindow(parent, helpFile);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

}  // namespace quilvane
