#include "app/gui/application_windows.h"
#include "app/gui/quilvane_application.h"

int main(int argc, char* argv[]) {
    quilvane::QuilvaneApplication app(argc, argv);
    quilvane::ApplicationWindows windows;
    windows.showMainWindow();
    return quilvane::QuilvaneApplication::exec();
}
