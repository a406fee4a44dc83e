#include "tageditor/gui/change_v1v2.h"

#include <QMetaObject>

#include "platform/display_name.h"
#include "platform/qt/qtext.h"
#include "tageditor/gui/v1v2_dialog.h"

namespace quilvane {

TchangeV1V2::TchangeV1V2(TV1V2Dialog* dialog, BatchSettings settings, const std::atomic<bool>& stop,
                         TagFieldValues fields)
    : dialog_(dialog), settings_(std::move(settings)), stop_(stop), lastFields_(std::move(fields)),
      lastGeneration_(dialog->fieldsGeneration()), fieldsRead_(true) {
    connect(this, &QThread::finished, this, &QObject::deleteLater);
}

void TchangeV1V2::Execute() {
    BatchTagWalk walk(settings_, stop_, [this] { return readFields(); },
                      [this](int done, const std::string& path) { postProgress(done, path); });
    const BatchResult result = walk.run();
    QMetaObject::invokeMethod(dialog_, [dialog = dialog_, result] {
        if (dialog) dialog->finishBatch(result);
    }, Qt::QueuedConnection);
}

// The fields as they are now: a value edited during the run applies from the next file.
// They are read on the window thread, again only after an edit.
TagFieldValues TchangeV1V2::readFields() {
    const QPointer<TV1V2Dialog> dialog = dialog_;
    if (!dialog || stop_) return lastFields_;
    const unsigned generation = dialog->fieldsGeneration();
    if (fieldsRead_ && generation == lastGeneration_) return lastFields_;
    TagFieldValues current;
    if (QMetaObject::invokeMethod(dialog, [dialog, &current] {
            if (dialog) current = dialog->fieldValues();
        }, Qt::BlockingQueuedConnection)) {
        lastFields_ = current;
        lastGeneration_ = generation;
        fieldsRead_ = true;
    }
    return lastFields_;
}

void TchangeV1V2::postProgress(int done, const std::string& path) {
    const auto now = std::chrono::steady_clock::now();
    if (now - lastPost_ < std::chrono::milliseconds(50) || progressPending_->exchange(true)) return;
    lastPost_ = now;
    const QString text = QStringLiteral("已完成%1个文件  当前文件：%2").arg(done).arg(displayQ(path));
    QMetaObject::invokeMethod(dialog_, [pending = progressPending_, dialog = dialog_, text] {
        *pending = false;
        if (dialog) dialog->showBatchProgress(text);
    }, Qt::QueuedConnection);
}

}  // namespace quilvane
