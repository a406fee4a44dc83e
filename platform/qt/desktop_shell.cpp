#include <QDesktopServices>
#include <QFile>
#include <QPointer>
#include <QProcess>
#include <QUrl>

#include "platform/qt/help_window.h"
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

// The desktop's opener (xdg-open) is asked for the page; where it is missing, finds no
// program for web pages, or that program fails, the page is shown in the program's own
// window. A browser that opens the page is left running.
void DesktopShell::openHelp(QWidget* parent, const std::string& helpFile) {
    auto* opener = new QProcess(parent);
    QPointer<QWidget> owner(parent);
    const auto fallBack = [owner, helpFile, opener] {
        opener->deleteLater();
        if (owner) HelpWindow::showFor(owner, helpFile);
    };
    QObject::connect(opener, &QProcess::errorOccurred, opener, [fallBack](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) fallBack();  // else finished() follows
    });
    QObject::connect(opener, &QProcess::finished, opener, [opener, fallBack](int code, QProcess::ExitStatus status) {
        if (status != QProcess::NormalExit || code != 0) fallBack();
        else opener->deleteLater();
    });
    opener->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    opener->start(QStringLiteral("xdg-open"), {QString::fromLatin1(localUrl(helpFile).toEncoded())});
}

}  // namespace quilvane
