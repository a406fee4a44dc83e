#pragma once
// A fixture that opens the program's real windows over a temporary folder (the working
// directory at start-up), answers prompts by script and records shell actions.
#include <QString>
#include <QStringList>
#include <ostream>
#include <gtest/gtest.h>
#include <memory>

#include "app/gui/application_windows.h"
#include "app/gui/form1.h"
#include "platform/qt/scripted_prompts.h"
#include "platform/qt/shell.h"
#include "support/temp_folder.h"

// Readable failure messages for Qt's texts.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QStringList& texts, std::ostream* os) {
    *os << '{';
    for (const QString& t : texts) *os << '"' << t.toStdString() << "\" ";
    *os << '}';
}

namespace quilvane::test {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Opens the windows; the start-up working directory is the temporary folder.
    void openWindows();
    TForm1& form() { return *windows->Form1; }

    // Triggers a menu or popup item by object name, after checking that it is enabled.
    void trigger(const char* actionName);
    // Clicks a button or check box by object name, after checking that it is enabled.
    void click(const char* widgetName);
    QString status(int panel = 0);
    TFileListBox& list() { return *form().ui.FileListBox1; }
    // The row of the list entry shown as `text`.
    int indexOf(const QString& text);
    // A click on the entry, as the user makes it.
    void clickEntry(const QString& text) { list().clickItem(indexOf(text)); }
    // Every text written to status panel 0 since the windows opened.
    QStringList statusHistory;

    TempFolder folder;
    // The program's state folder (XDG_STATE_HOME) for this test alone: its rename journal.
    TempFolder stateHome;
    ScriptedPrompts prompts;
    RecordedShell shell;
    std::unique_ptr<ApplicationWindows> windows;

private:
    std::string startDirectory_;
};

}  // namespace quilvane::test
