// 帮助 asks the desktop to open the help page; where the desktop cannot (no opener, or
// no program for web pages), the page is shown in the program's own window.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextBrowser>
#include <QWidget>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/qt/help_window.h"
#include "platform/qt/shell.h"
#include "support/temp_folder.h"

namespace quilvane::test {
namespace {

// Runs the event loop until `done` or `ms` milliseconds have passed.
template <typename Done>
bool waitFor(Done done, int ms = 3000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

class HelpPage : public ::testing::Test {
protected:
    void SetUp() override {
        savedPath = qgetenv("PATH");
        page = dir.write("help.html", "<html><body><h1>怎样改名</h1><p>选择文件夹。</p></body></html>");
        dir.makeFolder("bin");
    }
    void TearDown() override { qputenv("PATH", savedPath); }
    // A desktop whose opener ends with `code` (none at all when negative).
    void openerEnding(int code) {
        if (code >= 0) {
            const std::string opener = dir.write("bin/xdg-open", "#!/bin/sh\nexit " + std::to_string(code) + "\n");
            ::chmod(opener.c_str(), 0755);
        }
        qputenv("PATH", QByteArray::fromStdString(dir / "bin"));
    }
    HelpWindow* helpWindowOf(QWidget& parent) { return parent.findChild<HelpWindow*>(); }

    TempFolder dir;
    std::string page;
    QByteArray savedPath;
};

TEST_F(HelpPage, WithoutAnOpenerOrABrowserThePageOpensInAWindowOfItsOwn) {
    for (const int code : {-1, 3}) {
        SCOPED_TRACE(code);
        openerEnding(code);
        QWidget main;
        DesktopShell().openHelp(&main, page);
        ASSERT_TRUE(waitFor([&] { return helpWindowOf(main) != nullptr; }));
        HelpWindow* window = helpWindowOf(main);
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(window->windowTitle(), QStringLiteral("帮助"));
        EXPECT_TRUE(window->browser()->toPlainText().contains(QStringLiteral("怎样改名")));
        // Asked again: the same window, not a second one.
        DesktopShell().openHelp(&main, page);
        waitFor([] { return false; }, 500);
        EXPECT_EQ(main.findChildren<HelpWindow*>().size(), 1);
    }
}

TEST_F(HelpPage, ABrowserThatOpensThePageIsLeftToIt) {
    openerEnding(0);
    QWidget main;
    DesktopShell().openHelp(&main, page);
    waitFor([] { return false; }, 500);
    EXPECT_EQ(helpWindowOf(main), nullptr);
}

}  // namespace
}  // namespace quilvane::test
