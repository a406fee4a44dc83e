#pragma once
// Every question, notice, input box and file dialog of the windows goes through this
// interface, so tests can answer them by script.
#include <QString>

class QWidget;

namespace quilvane {

class Prompts {
public:
    virtual ~Prompts() = default;
    // Yes/No question captioned "警告！"; true for Yes.
    virtual bool question(QWidget* parent, const QString& text) = 0;
    // Yes/No confirmation with a question icon; true for Yes.
    virtual bool confirmation(QWidget* parent, const QString& text) = 0;
    // A plain notice with an OK button.
    virtual void notice(QWidget* parent, const QString& text) = 0;
    // The standard error box for an error a command could not handle.
    virtual void error(QWidget* parent, const QString& text) = 0;
    // An input box; cancelling gives `defaultText`.
    virtual QString input(QWidget* parent, const QString& caption, const QString& prompt,
                          const QString& defaultText) = 0;
    // File dialogs; an empty text when cancelled.
    virtual QString openFileName(QWidget* parent, const QString& filter) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& filter) = 0;
    // Folder browser "Select Directory"; an empty text when cancelled.
    virtual QString folder(QWidget* parent, const QString& start) = 0;
};

// The prompts the windows use: the Qt dialogs unless another set was installed.
Prompts& prompts();
// Installs `p` (not owned) for the windows; nullptr goes back to the Qt dialogs.
void installPrompts(Prompts* p);

class QtPrompts final : public Prompts {
public:
    bool question(QWidget* parent, const QString& text) override;
    bool confirmation(QWidget* parent, const QString& text) override;
    void notice(QWidget* parent, const QString& text) override;
    void error(QWidget* parent, const QString& text) override;
    QString input(QWidget* parent, const QString& caption, const QString& prompt,
                  const QString& defaultText) override;
    QString openFileName(QWidget* parent, const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& filter) override;
    QString folder(QWidget* parent, const QString& start) override;
};

}  // namespace quilvane
