#include <QDesktopServices>
#include <QFile>
#include <QUrl>

#include "platform/qt/properties_dialog.h"
#include "platform/qt/shell.h"
#include "platform/trash.h"

namespace quilvane {
namespace {

Shell* installed = nullptr;

// A file URL made from the path's own bytes, so a name that is not valid UTF-8 still
// reaches the program that opens it.
QUrl localUrl(const std::string& path) {
    return QUrl::fromEncoded("file://" + QByteArray::fromStdString(path).toPercentEncoding("/"));
}

}  // namespace

Shell& shell() {
    static DesktopShell desktop;
    return installed ? *installed : desktop;
}

void installShell(Shell* s) { installed = s; }

void DesktopShell::open(QWidget*, const std::string& path) { QDesktopServices::openUrl(localUrl(path)); }

void DesktopShell::showFolder(QWidget*, const std::string& folder) {
    QDesktopServices::openUrl(localUrl(folder));
}

void DesktopShell::properties(QWidget* parent, const std::string& path) {
    PropertiesDialog dialog(parent, path);
    dialog.exec();
}

std::string DesktopShell::moveToTrash(QWidget*, const std::string& path) {
    return quilvane::moveToTrash(path).reason;
}

void DesktopShell::openMailLink(QWidget*, const QString& address) {
    QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + address));
}

void DesktopShell::openHelp(QWidget*, const std::string& helpFile) {
    QDesktopServices::openUrl(localUrl(helpFile));
}

}  // namespace quilvane
