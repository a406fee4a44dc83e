#pragma once
// The file sorting dialog: modeless, on top of the main window, with its
// worker TSortFiles.
#include <QDialog>
#include <functional>
#include <QPointer>
#include <atomic>
#include <map>
#include <string>
#include <vector>

#include "files/file_sorting.h"
#include "ui_TSortForm.h"

namespace quilvane {

class TFileListBox;
class TSortFiles;

class TSortForm : public QDialog {
    Q_OBJECT
public:
    explicit TSortForm(QWidget* parent = nullptr);
    ~TSortForm() override;

    Ui::TSortForm ui;
    // The main window's file list, re-read when a run ends.
    void setMainFileList(TFileListBox* list) { mainList_ = list; }
    // Where a run's moves are journaled as a batch of renames, so that 撤销更名 and
    // quilvane-cli undo take a sorting back: asked for when a run starts (nothing: none).
    void setUndoLog(std::function<UndoList*(const SortSettings&)> begin) { beginUndoLog_ = std::move(begin); }
    // Puts a folder into a path box; its own bytes are used as long as the box shows it
    // unchanged, so a folder name that is not valid UTF-8 still names the right folder.
    void setPathBox(QLineEdit* box, const std::string& folder);
    std::string pathFrom(const QLineEdit* box) const;
    const std::string& sortSepChar() const { return SortSepChar; }
    // The folders the last run may have made folders in or removed folders from.
    const std::vector<std::string>& changedFolders() const { return runFolders_; }

    // Called on the GUI thread by the worker.
    void showProgress(const SortCounts& counts);
    void finishRun(const SortCounts& counts, const QString& failure);

public slots:
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void BitBtn5Click();
    void BitBtn6Click();
    void CheckBox2Click();
    void Edit2Change();
    void RadioButton1Click();
    void RadioButton2Click();

signals:
    // A run ended (after the dialog went back to idle).
    void runFinished();

private:
    std::function<UndoList*(const SortSettings&)> beginUndoLog_;
    void FormCreate();
    void FirstWay(bool byArtist);
    void browseInto(QLineEdit* box);

    std::string SortSepChar = "-";
    std::atomic<bool> SortStopFlag{false};
    bool running_ = false;
    TFileListBox* mainList_ = nullptr;
    QPointer<TSortFiles> worker_;
    std::map<const QLineEdit*, std::string> exactPaths_;
    std::vector<std::string> runFolders_;
};

}  // namespace quilvane
