#include "support/gui_fixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QTest>
#include <cstdlib>

#include "platform/paths.h"

namespace quilvane::test {

void WindowTest::SetUp() {
    startDirectory_ = currentDirectory();
    setCurrentDirectory(folder.path());
    ::setenv("XDG_STATE_HOME", stateHome.path().c_str(), 1);
    installPrompts(&prompts);
    installShell(&shell);
}

void WindowTest::openWindows() {
    windows = std::make_unique<ApplicationWindows>();
    QObject::connect(form().ui.StatusBar1, &TStatusBar::panelTextChanged,
                     [this](int panel, const QString& text) {
                         if (panel == 0) statusHistory << text;
                     });
}

void WindowTest::TearDown() {
    EXPECT_TRUE(prompts.problems().isEmpty()) << prompts.problems().join('\n').toStdString();
    windows.reset();
    installPrompts(nullptr);
    installShell(nullptr);
    setCurrentDirectory(startDirectory_);
    ::unsetenv("XDG_STATE_HOME");
}

void WindowTest::trigger(const char* actionName) {
    auto* action = form().findChild<QAction*>(QString::fromLatin1(actionName));
    ASSERT_NE(action, nullptr) << actionName;
    ASSERT_TRUE(action->isEnabled()) << actionName << " is disabled";
    action->trigger();
}

void WindowTest::click(const char* widgetName) {
    auto* button = form().findChild<QAbstractButton*>(QString::fromLatin1(widgetName));
    ASSERT_NE(button, nullptr) << widgetName;
    ASSERT_TRUE(button->isEnabled()) << widgetName << " is disabled";
    button->click();
}

QString WindowTest::status(int panel) { return form().ui.StatusBar1->panelText(panel); }

int WindowTest::indexOf(const QString& text) {
    for (int i = 0; i < list().count(); ++i)
        if (list().itemText(i) == text) return i;
    ADD_FAILURE() << "no entry " << text.toStdString();
    return -1;
}

}  // namespace quilvane::test
