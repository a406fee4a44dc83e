#pragma once
// The repair dialog's two workers: the scan, which hands its findings to the dialog in
// batches (at most about twenty times a second), and the repair itself. Each frees itself.
#include <QPointer>
#include <QThread>
#include <atomic>
#include <chrono>
#include <vector>

#include "rename/undo_list.h"
#include "tageditor/repair_findings.h"

namespace quilvane {

class TRepairDialog;

class TRepairScanThread : public QThread {
    Q_OBJECT
public:
    TRepairScanThread(TRepairDialog* dialog, std::string folder, bool tree, const std::atomic<bool>& stop);

protected:
    void run() override { Execute(); }

private:
    void Execute();
    void post(int files, bool force);

    QPointer<TRepairDialog> dialog_;
    std::string folder_;
    bool tree_;
    const std::atomic<bool>& stop_;
    std::vector<RepairFinding> pending_;
    std::chrono::steady_clock::time_point lastPost_{};
};

// Works on a copy of the findings; the undo log is the main window's, which the dialog
// keeps from being used until the repair ends.
class TRepairThread : public QThread {
    Q_OBJECT
public:
    TRepairThread(TRepairDialog* dialog, std::vector<RepairFinding> findings, UndoList& log, const std::atomic<bool>& stop);

protected:
    void run() override { Execute(); }

private:
    void Execute();

    QPointer<TRepairDialog> dialog_;
    std::vector<RepairFinding> findings_;
    UndoList& log_;
    const std::atomic<bool>& stop_;
};

}  // namespace quilvane
