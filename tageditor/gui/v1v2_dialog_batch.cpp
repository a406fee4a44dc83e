// The tag editor's batch: "开始"/"停止" and what the worker reports.
#include "platform/display_name.h"
#include "platform/qt/prompts.h"
#include "platform/qt/qtext.h"
#include "platform/text.h"
#include "tageditor/gui/change_v1v2.h"
#include "tageditor/gui/v1v2_dialog.h"

namespace quilvane {

void TV1V2Dialog::BitBtn6Click() {
    if (trimBlanks(fromQ(ui.BitBtn6->text())) == "停止") {
        StopBatch = true;
        return;
    }
    BatchSettings settings;
    settings.folder = TargetPath;
    settings.mode = static_cast<BatchMode>(std::max(0, ui.RadioGroup1->itemIndex()));
    settings.titleFromFileName = ui.CheckBox4->isChecked();
    settings.artistFromFolder = ui.CheckBox3->isChecked();
    settings.includeSubfolders = ui.CheckBox9->isChecked();
    StopBatch = false;
    ui.BitBtn6->setText(QStringLiteral("停止"));
    // The fields go as the user sees them now; nothing here may reset them.
    worker_ = new TchangeV1V2(this, std::move(settings), StopBatch, fieldValues());
    worker_->start();
    ui.BitBtn1->setEnabled(false);
    ui.BitBtn4->setEnabled(false);
    emit batchRunningChanged(true);
}

void TV1V2Dialog::showBatchProgress(const QString& text) {
    if (batchRunning()) showStatus(text);
}

void TV1V2Dialog::finishBatch(const BatchResult& result) {
    if (worker_) worker_->wait();
    worker_ = nullptr;
    ui.BitBtn6->setText(QStringLiteral("开始"));
    ui.BitBtn1->setEnabled(SingleFile && singleLoaded_);
    ui.BitBtn4->setEnabled(SingleFile);
    emit batchRunningChanged(false);
    if (!result.failure.empty()) {
        // The run ended at the failure; the panel keeps the last progress.
        prompts().error(this, toQ(result.failure));
        return;
    }
    showStatus(toQ(batchEndText(result)));
    const auto listed = [](const std::vector<std::string>& files) {
        QString names;
        for (std::size_t i = 0; i < files.size() && i < 20; ++i) names += '\n' + displayQ(files[i]);
        if (files.size() > 20) names += QStringLiteral("\n……");
        return names;
    };
    QStringList notices;
    if (!result.notWritten.empty()) notices << QStringLiteral("以下文件的ID3v2标签超过2000字节，未写入：") + listed(result.notWritten);
    if (!result.v1Refused.empty())
        notices << QStringLiteral("以下文件的ID3v1标签存不下要写的文字（ID3v1只能存GBK或Latin-1文字），未写入：") +
                       listed(result.v1Refused);
    if (!notices.isEmpty()) prompts().notice(this, notices.join(QStringLiteral("\n\n")));
}

}  // namespace quilvane
