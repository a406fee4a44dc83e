#pragma once
// "修复乱码标签和文件名": scans a folder (and its sub-folders) for texts and names that
// other programs show garbled, lists them for the user to check and to read otherwise,
// repairs the checked ones, and reports what was done. Modal: the repair uses the main
// window's undo log, so 撤销更名 undoes its renames.
#include <QDialog>
#include <QPointer>
#include <QThread>
#include <atomic>
#include <functional>

#include "rename/undo_list.h"
#include "tageditor/gui/repair_model.h"
#include "tageditor/repair_apply.h"
#include "tageditor/repair_scan.h"
#include "ui_TRepairDialog.h"

namespace quilvane {

class TRepairDialog : public QDialog {
    Q_OBJECT
public:
    // `renamed` runs on the window thread after a repair that renamed something.
    TRepairDialog(QWidget* parent, UndoList& log, std::function<void()> renamed);
    ~TRepairDialog() override;

    Ui::TRepairDialog ui;
    RepairFindingsModel* Model = nullptr;

    // Opens the dialog on the folder and scans it.
    void openOn(const std::string& folder);
    bool busy() const { return worker_ != nullptr; }
    const RepairReport& lastReport() const { return report_; }

    // From the workers.
    void showFindings(std::vector<RepairFinding> found, int files);
    void finishScan(const RepairScanResult& result);
    void showRepairProgress(int done, int total);
    void finishRepair(const RepairReport& report);

    void BitBtn1Click();  // 扫描
    void BitBtn2Click();  // 停止
    void BitBtn3Click();  // 开始修复
    void BitBtn4Click();  // 导出报告…

protected:
    void reject() override;

private:
    void setRunning(bool running);
    void fitColumns();

    UndoList& log_;
    std::function<void()> renamed_;
    std::string folder_;
    std::atomic<bool> stop_{false};
    QPointer<QThread> worker_;
    RepairReport report_;
    std::vector<RepairFinding> applied_;  // the findings of the last repair, as applied
};

}  // namespace quilvane
