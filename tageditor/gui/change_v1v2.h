#pragma once
// The batch worker of the tag editor: walks the folder on its own thread with tag
// objects of its own, reads the dialog's fields for each file on the window thread,
// and hands its progress back there, at most about twenty times a second. It frees
// itself when it ends.
#include <QPointer>
#include <QThread>
#include <atomic>
#include <chrono>
#include <memory>

#include "tageditor/batch_tags.h"

namespace quilvane {

class TV1V2Dialog;

class TchangeV1V2 : public QThread {
    Q_OBJECT
public:
    // `fields`: the dialog's fields as they were when the run was started, which the
    // first file gets unless they are edited before it.
    TchangeV1V2(TV1V2Dialog* dialog, BatchSettings settings, const std::atomic<bool>& stop, TagFieldValues fields);

protected:
    void run() override { Execute(); }

private:
    void Execute();
    TagFieldValues readFields();
    void postProgress(int done, const std::string& path);

    QPointer<TV1V2Dialog> dialog_;
    BatchSettings settings_;
    const std::atomic<bool>& stop_;
    TagFieldValues lastFields_;
    unsigned lastGeneration_ = 0;
    bool fieldsRead_ = false;
    std::chrono::steady_clock::time_point lastPost_{};
    // Shared with the queued calls, which may run after this object is gone.
    std::shared_ptr<std::atomic<bool>> progressPending_ = std::make_shared<std::atomic<bool>>(false);
};

}  // namespace quilvane
