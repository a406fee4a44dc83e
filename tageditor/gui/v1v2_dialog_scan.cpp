// The tag editor's ID3v2 scan: "扫描ID3v2"/"停止扫描" and the rows it finds.
#include "platform/qt/prompts.h"
#include "platform/qt/qtext.h"
#include "platform/text.h"
#include "tageditor/gui/form4.h"
#include "tageditor/gui/scan_id3_thread.h"
#include "tageditor/gui/v1v2_dialog.h"

namespace quilvane {

void TV1V2Dialog::BitBtn8Click() {
    if (trimBlanks(fromQ(ui.BitBtn8->text())) == "停止扫描") {
        StopScan = true;
        return;
    }
    StopScan = false;
    ui.BitBtn8->setText(QStringLiteral("停止扫描"));
    if (trackList_) {
        trackList_->clear();
        trackList_->show();
        trackList_->raise();
    }
    scan_ = new TScanID3Thread(this, TargetPath, StopScan);
    scan_->start();
}

void TV1V2Dialog::showScanRows(std::vector<TrackRow> rows, const QString& progress) {
    if (trackList_) trackList_->appendRows(std::move(rows));
    showStatus(progress);
}

void TV1V2Dialog::finishScan(int done, const QString& failure) {
    if (scan_) scan_->wait();
    scan_ = nullptr;
    ui.BitBtn8->setText(QStringLiteral("扫描ID3v2"));
    if (!failure.isEmpty()) {
        // The scan ended at the folder; the rows found so far stay.
        prompts().error(this, failure);
        return;
    }
    showStatus(StopScan ? QStringLiteral("扫描已停止")
                        : QStringLiteral("已完成ID3扫描, 共有") + QString::number(done) + QStringLiteral("个文件"));
}

}  // namespace quilvane
