#include "tageditor/gui/repair_dialog.h"

#include <QFile>
#include <QHeaderView>

#include "platform/display_name.h"
#include "platform/qt/prompts.h"
#include "platform/qt/qtext.h"
#include "tageditor/gui/repair_threads.h"

namespace quilvane {

TRepairDialog::TRepairDialog(QWidget* parent, UndoList& log, std::function<void()> renamed)
    : QDialog(parent), log_(log), renamed_(std::move(renamed)) {
    ui.setupUi(this);
    setModal(true);
    Model = new RepairFindingsModel(this);
    ui.TableView1->setModel(Model);
    ui.TableView1->setItemDelegateForColumn(RepairFindingsModel::Reading, new ReadingDelegate(this));
    ui.TableView1->verticalHeader()->hide();
    ui.TableView1->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    ui.TableView1->horizontalHeader()->setStretchLastSection(true);
    connect(ui.BitBtn1, &QPushButton::clicked, this, &TRepairDialog::BitBtn1Click);
    connect(ui.BitBtn2, &QPushButton::clicked, this, &TRepairDialog::BitBtn2Click);
    connect(ui.BitBtn3, &QPushButton::clicked, this, &TRepairDialog::BitBtn3Click);
    connect(ui.BitBtn4, &QPushButton::clicked, this, &TRepairDialog::BitBtn4Click);
    connect(ui.BitBtn5, &QPushButton::clicked, this, &TRepairDialog::reject);
    connect(ui.Button1, &QPushButton::clicked, this, [this] { Model->checkAll(true); });
    connect(ui.Button2, &QPushButton::clicked, this, [this] { Model->checkAll(false); });
}

TRepairDialog::~TRepairDialog() {
    // A worker holds references into this dialog: it is stopped and waited for.
    stop_ = true;
    if (worker_) worker_->wait();
}

void TRepairDialog::openOn(const std::string& folder) {
    folder_ = folder;
    ui.Edit1->setText(displayQ(folder));
    // A report belongs to the folder it was made in.
    ui.Memo1->clear();
    report_ = {};
    applied_.clear();
    ui.BitBtn4->setEnabled(false);
    show();
    BitBtn1Click();
}

void TRepairDialog::setRunning(bool running) {
    ui.BitBtn1->setEnabled(!running);
    ui.BitBtn2->setEnabled(running);
    ui.BitBtn3->setEnabled(!running && Model->rowCount() > 0);
    ui.BitBtn5->setEnabled(!running);
    ui.CheckBox1->setEnabled(!running);
    ui.TableView1->setEnabled(!running);
}

void TRepairDialog::BitBtn1Click() {
    if (busy()) return;
    Model->clear(folder_);
    stop_ = false;
    ui.Label2->setText(QStringLiteral("正在扫描……"));
    auto* scan = new TRepairScanThread(this, folder_, ui.CheckBox1->isChecked(), stop_);
    worker_ = scan;
    setRunning(true);
    scan->start();
}

void TRepairDialog::BitBtn2Click() { stop_ = true; }

void TRepairDialog::showFindings(std::vector<RepairFinding> found, int files) {
    const bool first = Model->rowCount() == 0;
    Model->append(std::move(found));
    if (first && Model->rowCount() > 0) fitColumns();
    ui.Label2->setText(QStringLiteral("已查看%1个文件，找到%2处需要修复").arg(files).arg(Model->rowCount()));
}

void TRepairDialog::finishScan(const RepairScanResult& result) {
    worker_ = nullptr;
    setRunning(false);
    if (Model->rowCount() > 0) {
        fitColumns();
        ui.TableView1->setFocus();
    } else {
        ui.BitBtn5->setFocus();
    }
    QString text = QStringLiteral("%1%2个文件，找到%3处需要修复")
                       .arg(result.stopped ? QStringLiteral("扫描已停止：查看了") : QStringLiteral("扫描完成：共"))
                       .arg(result.files)
                       .arg(Model->rowCount());
    if (!result.unreadable.empty()) text += QStringLiteral("；%1个无法读取").arg(result.unreadable.size());
    ui.Label2->setText(text);
    if (!result.unreadable.empty()) {
        QString list;
        for (const std::string& u : result.unreadable) list += toQ(u) + '\n';
        ui.Memo1->appendPlainText(QStringLiteral("无法读取：\n") + list);
    }
}

void TRepairDialog::fitColumns() {
    for (int c = RepairFindingsModel::Checked; c < RepairFindingsModel::Confidence; ++c) {
        ui.TableView1->resizeColumnToContents(c);
        // A long lyric or path does not push the other columns away.
        ui.TableView1->setColumnWidth(c, std::min(ui.TableView1->columnWidth(c), 320));
    }
    // Room for the reading's list when it opens in place.
    ui.TableView1->setColumnWidth(RepairFindingsModel::Reading,
                                  std::max(ui.TableView1->columnWidth(RepairFindingsModel::Reading), ReadingDelegate::editorWidth(this)));
}

void TRepairDialog::BitBtn3Click() {
    if (busy() || Model->rowCount() == 0) return;
    applied_ = Model->findings();
    stop_ = false;
    ui.Label2->setText(QStringLiteral("正在修复……"));
    auto* repair = new TRepairThread(this, applied_, log_, stop_);
    worker_ = repair;
    setRunning(true);
    repair->start();
}

void TRepairDialog::showRepairProgress(int done, int total) {
    ui.Label2->setText(QStringLiteral("正在修复：%1/%2").arg(done).arg(total));
}

void TRepairDialog::finishRepair(const RepairReport& report) {
    worker_ = nullptr;
    report_ = report;
    setRunning(false);
    ui.Memo1->setPlainText(toQ(report.text()));
    ui.BitBtn4->setEnabled(true);
    if (renamed_) renamed_();
    // What is left to repair: the rows not checked, and whatever failed.
    BitBtn1Click();
}

void TRepairDialog::BitBtn4Click() {
    const QString file = prompts().saveFileName(this, QStringLiteral("文本文件 (*.txt)"));
    if (file.isEmpty()) return;
    const std::string path = QFile::encodeName(file.endsWith(QStringLiteral(".txt")) ? file : file + QStringLiteral(".txt")).toStdString();
    if (!writeRepairReport(path, report_, applied_))
        prompts().error(this, QStringLiteral("无法写入文件 ") + displayQ(path));
}

void TRepairDialog::reject() {
    if (busy()) return;  // the worker ends first (停止)
    QDialog::reject();
}

}  // namespace quilvane
