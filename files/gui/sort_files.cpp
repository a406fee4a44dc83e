#include "files/gui/sort_files.h"

#include <QMetaObject>

#include "files/gui/sort_form.h"
#include "files/transfer_error.h"
#include "platform/qt/qtext.h"

namespace quilvane {

TSortFiles::TSortFiles(TSortForm* form, SortSettings settings, const std::atomic<bool>& stop, UndoList* log)
    : form_(form), settings_(std::move(settings)), stop_(stop), log_(log) {
    connect(this, &QThread::finished, this, &QObject::deleteLater);
}

void TSortFiles::postProgress(const SortCounts& counts) {
    if (!form_ || progressPending_->exchange(true)) return;
    QMetaObject::invokeMethod(form_, [pending = progressPending_, form = form_, counts] {
        *pending = false;
        if (form) form->showProgress(counts);
    }, Qt::QueuedConnection);
}

void TSortFiles::Execute() {
    FileSorter sorter(settings_, stop_, [this](const SortCounts& counts) { postProgress(counts); });
    sorter.journalTo(log_);
    QString failure;
    try {
        sorter.run();
    } catch (const TransferError& e) {
        failure = toQ(e.what());
    }
    const SortCounts counts = sorter.counts();
    if (!form_) return;
    QMetaObject::invokeMethod(form_, [form = form_, counts, failure] {
        if (form) form->finishRun(counts, failure);
    }, Qt::QueuedConnection);
}

}  // namespace quilvane
