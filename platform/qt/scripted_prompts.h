#pragma once
// Prompts answered by a script, for driving the windows in tests. A test states the
// prompts it expects, in order, with their answers; any other prompt is recorded as a
// problem and answered No / Cancel, and problems() lists everything that went against
// the script (including expectations never met).
#include <QStringList>
#include <deque>
#include <optional>
#include <vector>

#include "platform/qt/prompts.h"

namespace quilvane {

class ScriptedPrompts final : public Prompts {
public:
    enum class Kind { Question, Confirmation, Notice, Error, Input, OpenFile, SaveFile, Folder };
    struct Shown {
        Kind kind;
        QString text;  // the message, "caption|prompt" of an input box, or a dialog's filter
    };

    // An empty expected text matches any text.
    ScriptedPrompts& expectQuestion(const QString& text, bool yes);
    ScriptedPrompts& expectConfirmation(const QString& text, bool yes);
    ScriptedPrompts& expectNotice(const QString& text);
    ScriptedPrompts& expectError(const QString& text);
    // nullopt answers Cancel.
    ScriptedPrompts& expectInput(const QString& caption, const QString& prompt,
                                 std::optional<QString> answer);
    ScriptedPrompts& expectOpenFile(const QString& filter, const QString& answer);
    ScriptedPrompts& expectSaveFile(const QString& filter, const QString& answer);
    ScriptedPrompts& expectFolder(const QString& answer);

    const std::vector<Shown>& shown() const { return shown_; }
    QStringList problems() const;

    bool question(QWidget*, const QString& text) override;
    bool confirmation(QWidget*, const QString& text) override;
    void notice(QWidget*, const QString& text) override;
    void error(QWidget*, const QString& text) override;
    QString input(QWidget*, const QString& caption, const QString& prompt,
                  const QString& defaultText) override;
    QString openFileName(QWidget*, const QString& filter) override;
    QString saveFileName(QWidget*, const QString& filter) override;
    QString folder(QWidget*, const QString& start) override;

private:
    struct Expected {
        Kind kind;
        QString text;
        bool yes = false;
        std::optional<QString> answer;
    };
    // Takes the next expectation if it matches the prompt; records a problem otherwise.
    std::optional<Expected> take(Kind kind, const QString& text);

    std::deque<Expected> script_;
    std::vector<Shown> shown_;
    QStringList problems_;
};

}  // namespace quilvane
