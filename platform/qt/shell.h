#pragma once
// Desktop actions (open with the associated program, show a folder, properties, trash,
// mail link, help) go through this interface, so tests record them instead of starting
// programs. Paths are the file system's bytes.
#include <QString>
#include <string>
#include <vector>

class QWidget;

namespace quilvane {

class Shell {
public:
    virtual ~Shell() = default;
    virtual void open(QWidget* parent, const std::string& path) = 0;
    virtual void showFolder(QWidget* parent, const std::string& folder) = 0;
    virtual void properties(QWidget* parent, const std::string& path) = 0;
    // Empty when the entry went to the trash, else why it did not, in Chinese.
    virtual std::string moveToTrash(QWidget* parent, const std::string& path) = 0;
    virtual void openMailLink(QWidget* parent, const QString& address) = 0;
    virtual void openHelp(QWidget* parent, const std::string& helpFile) = 0;
};

Shell& shell();
// Installs `s` (not owned) for the windows; nullptr goes back to the desktop's shell.
void installShell(Shell* s);

class DesktopShell final : public Shell {
public:
    void open(QWidget* parent, const std::string& path) override;
    void showFolder(QWidget* parent, const std::string& folder) override;
    void properties(QWidget* parent, const std::string& path) override;
    std::string moveToTrash(QWidget* parent, const std::string& path) override;
    void openMailLink(QWidget* parent, const QString& address) override;
    void openHelp(QWidget* parent, const std::string& helpFile) override;
};

// Records every call; moveToTrash answers `trashRefusal` (empty: it went to the trash).
class RecordedShell final : public Shell {
public:
    struct Call {
        QString action;  // "open", "showFolder", "properties", "trash", "mail", "help"
        std::string target;
    };
    std::vector<Call> calls;
    std::string trashRefusal;

    void open(QWidget*, const std::string& path) override { calls.push_back({"open", path}); }
    void showFolder(QWidget*, const std::string& f) override { calls.push_back({"showFolder", f}); }
    void properties(QWidget*, const std::string& p) override { calls.push_back({"properties", p}); }
    std::string moveToTrash(QWidget*, const std::string& path) override {
        calls.push_back({"trash", path});
        return trashRefusal;
    }
    void openMailLink(QWidget*, const QString& a) override { calls.push_back({"mail", a.toStdString()}); }
    void openHelp(QWidget*, const std::string& h) override { calls.push_back({"help", h}); }
};

}  // namespace quilvane
