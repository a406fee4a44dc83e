#include "app/gui/quilvane_application.h"

#include <exception>

#include "platform/qt/prompts.h"

namespace quilvane {

QuilvaneApplication::QuilvaneApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Quilvane"));
    setApplicationDisplayName(QStringLiteral("Quilvane"));
}

bool QuilvaneApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        prompts().error(activeWindow(), QString::fromUtf8(e.what()));
    } catch (...) {
        prompts().error(activeWindow(), QStringLiteral("未知错误"));
    }
    return false;
}

}  // namespace quilvane
