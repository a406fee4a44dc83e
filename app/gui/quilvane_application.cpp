#include "app/gui/quilvane_application.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <exception>

#include "platform/qt/prompts.h"

namespace quilvane {

QuilvaneApplication::QuilvaneApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Quilvane"));
    // An empty display name keeps the system from appending " — Quilvane" to every
    // window's and message box's own caption.
    setApplicationDisplayName(QString(""));
    speakChinese();
}

// The program speaks Chinese whatever the desktop's language: Qt's own buttons and file
// dialogs ("确定", "取消", "另存为") and dates in Chinese form.
void QuilvaneApplication::speakChinese() {
    const QLocale chinese(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China);
    QLocale::setDefault(chinese);
    auto* translator = new QTranslator(this);
    if (translator->load(chinese, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(translator);
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
