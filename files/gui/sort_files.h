#pragma once
// The sorting worker: sorts on its own thread with the settings it was given before
// it started, and hands every change of the dialog to the GUI thread. It frees itself.
#include <QPointer>
#include <QThread>
#include <atomic>
#include <memory>

#include "files/file_sorting.h"

namespace quilvane {

class TSortForm;

class TSortFiles : public QThread {
    Q_OBJECT
public:
    // `log`: where the moves are journaled; the window leaves it to this thread until the
    // run has ended.
    TSortFiles(TSortForm* form, SortSettings settings, const std::atomic<bool>& stop, UndoList* log = nullptr);

protected:
    void run() override { Execute(); }

private:
    void Execute();
    // Queues a progress text for the dialog unless one is still waiting.
    void postProgress(const SortCounts& counts);

    QPointer<TSortForm> form_;
    SortSettings settings_;
    const std::atomic<bool>& stop_;
    UndoList* log_;
    // Shared with the queued calls, which may run after this object is gone.
    std::shared_ptr<std::atomic<bool>> progressPending_ = std::make_shared<std::atomic<bool>>(false);
};

}  // namespace quilvane
