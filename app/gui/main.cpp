#include <QApplication>

#include "app/gui/application_windows.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quilvane"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quilvane"));
    quilvane::ApplicationWindows windows;
    windows.showMainWindow();
    return QApplication::exec();
}
