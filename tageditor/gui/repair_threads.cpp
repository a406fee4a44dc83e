#include "tageditor/gui/repair_threads.h"

#include <QMetaObject>

#include "platform/qt/qtext.h"
#include "tageditor/gui/repair_dialog.h"
#include "tageditor/repair_apply.h"
#include "tageditor/repair_scan.h"

namespace quilvane {

TRepairScanThread::TRepairScanThread(TRepairDialog* dialog, std::string folder, bool tree, const std::atomic<bool>& stop)
    : dialog_(dialog), folder_(std::move(folder)), tree_(tree), stop_(stop) {
    connect(this, &QThread::finished, this, &QObject::deleteLater);
}

void TRepairScanThread::Execute() {
    int files = 0;
    const RepairScanResult result = scanForRepair(
        folder_, tree_,
        [this](std::vector<RepairFinding>&& found) {
            for (RepairFinding& f : found) pending_.push_back(std::move(f));
        },
        [&](int seen) {
            files = seen;
            post(files, false);
        },
        stop_);
    post(result.files, true);
    QMetaObject::invokeMethod(dialog_, [dialog = dialog_, result] {
        if (dialog) dialog->finishScan(result);
    }, Qt::QueuedConnection);
}

void TRepairScanThread::post(int files, bool force) {
    const auto now = std::chrono::steady_clock::now();
    if (!force && now - lastPost_ < std::chrono::milliseconds(50)) return;
    lastPost_ = now;
    QMetaObject::invokeMethod(dialog_, [dialog = dialog_, found = std::move(pending_), files]() mutable {
        if (dialog) dialog->showFindings(std::move(found), files);
    }, Qt::QueuedConnection);
    pending_.clear();
}

TRepairThread::TRepairThread(TRepairDialog* dialog, std::vector<RepairFinding> findings, UndoList& log,
                             const std::atomic<bool>& stop)
    : dialog_(dialog), findings_(std::move(findings)), log_(log), stop_(stop) {
    connect(this, &QThread::finished, this, &QObject::deleteLater);
}

void TRepairThread::Execute() {
    auto last = std::chrono::steady_clock::now();
    const RepairReport report = applyRepairs(findings_, log_, [&](int done, int total) {
        const auto now = std::chrono::steady_clock::now();
        if (done < total && now - last < std::chrono::milliseconds(50)) return;
        last = now;
        QMetaObject::invokeMethod(dialog_, [dialog = dialog_, done, total] {
            if (dialog) dialog->showRepairProgress(done, total);
        }, Qt::QueuedConnection);
    }, &stop_);
    QMetaObject::invokeMethod(dialog_, [dialog = dialog_, report] {
        if (dialog) dialog->finishRepair(report);
    }, Qt::QueuedConnection);
}

}  // namespace quilvane
