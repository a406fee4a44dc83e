#include <QApplication>

#include "app/gui/application_windows.h"
#include "app/gui/form1.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quilvane"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quilvane"));
    quilvane::ApplicationWindows windows;
    windows.Form1->showMaximized();
    return QApplication::exec();
}
