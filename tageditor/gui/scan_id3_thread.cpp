#include "tageditor/gui/scan_id3_thread.h"

#include <QMetaObject>

#include "platform/display_name.h"
#include "platform/qt/qtext.h"
#include "tageditor/gui/v1v2_dialog.h"

namespace quilvane {

TScanID3Thread::TScanID3Thread(TV1V2Dialog* dialog, std::string folder, const std::atomic<bool>& stop)
    : dialog_(dialog), folder_(std::move(folder)), stop_(stop) {
    connect(this, &QThread::finished, this, &QObject::deleteLater);
}

void TScanID3Thread::Execute() {
    Id3v2Scan scan(folder_, stop_, [this] { return includeSubfolders(); },
                   [this](TrackRow row, const std::string& path) { found(std::move(row), path); });
    const int done = scan.run();
    postRows(true);
    const QString failure = toQ(scan.failure());
    QMetaObject::invokeMethod(dialog_, [dialog = dialog_, done, failure] {
        if (dialog) dialog->finishScan(done, failure);
    }, Qt::QueuedConnection);
}

// Read on the window thread at each folder: a change during the scan applies to the
// folders met after it.
bool TScanID3Thread::includeSubfolders() {
    bool include = false;
    const QPointer<TV1V2Dialog> dialog = dialog_;
    if (dialog && !stop_)
        QMetaObject::invokeMethod(dialog, [dialog, &include] {
            if (dialog) include = dialog->ui.CheckBox9->isChecked();
        }, Qt::BlockingQueuedConnection);
    return include;
}

void TScanID3Thread::found(TrackRow row, const std::string& path) {
    pending_.push_back(std::move(row));
    ++done_;
    lastPath_ = path;
    postRows(false);
}

void TScanID3Thread::postRows(bool force) {
    const auto now = std::chrono::steady_clock::now();
    if (pending_.empty() || (!force && now - lastPost_ < std::chrono::milliseconds(50))) return;
    lastPost_ = now;
    const QString text = QStringLiteral("已完成%1个文件%2").arg(done_).arg(displayQ(lastPath_));
    QMetaObject::invokeMethod(dialog_, [dialog = dialog_, rows = std::move(pending_), text]() mutable {
        if (dialog) dialog->showScanRows(std::move(rows), text);
    }, Qt::QueuedConnection);
    pending_.clear();
}

}  // namespace quilvane
