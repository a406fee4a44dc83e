#include "files/gui/sort_form.h"

#include <QFile>

#include "app/gui/separator_box.h"
#include "files/gui/sort_files.h"
#include "platform/paths.h"
#include "platform/qt/file_list_box.h"
#include "platform/qt/prompts.h"
#include "platform/qt/qtext.h"
#include "platform/text.h"

namespace quilvane {

TSortForm::TSortForm(QWidget* parent) : QDialog(parent) {
    ui.setupUi(this);
    setObjectName(QStringLiteral("SortForm"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setModal(false);
    connect(ui.BitBtn1, &QPushButton::clicked, this, &TSortForm::BitBtn1Click);
    connect(ui.BitBtn2, &QPushButton::clicked, this, &TSortForm::BitBtn2Click);
    connect(ui.BitBtn3, &QPushButton::clicked, this, &TSortForm::BitBtn3Click);
    connect(ui.BitBtn4, &QPushButton::clicked, this, &TSortForm::BitBtn4Click);
    connect(ui.BitBtn5, &QPushButton::clicked, this, &TSortForm::BitBtn5Click);
    connect(ui.BitBtn6, &QPushButton::clicked, this, &TSortForm::BitBtn6Click);
    connect(ui.CheckBox2, &QCheckBox::toggled, this, &TSortForm::CheckBox2Click);
    connect(ui.Edit2, &QLineEdit::textChanged, this, &TSortForm::Edit2Change);
    connect(ui.RadioButton1, &QRadioButton::toggled, this, [this](bool on) {
        if (on) RadioButton1Click();
    });
    connect(ui.RadioButton2, &QRadioButton::toggled, this, [this](bool on) {
        if (on) RadioButton2Click();
    });
    FormCreate();
}

TSortForm::~TSortForm() {
    // A run still going when the program ends is stopped and waited for: it reads the
    // stop flag of this dialog.
    SortStopFlag = true;
    if (worker_) worker_->wait();
}

void TSortForm::FormCreate() {
    ui.RadioButton1->setChecked(true);
    ui.Edit3->setEnabled(false);
    SortSepChar = "-";
    ui.BitBtn6->setEnabled(false);
    ui.ComboBox1->setEditText(QStringLiteral(".*"));
    ui.ComboBox1->setEnabled(false);
}

void TSortForm::FirstWay(bool byArtist) {
    ui.Edit2->setEnabled(byArtist);
    ui.Edit3->setEnabled(!byArtist);
}

void TSortForm::RadioButton1Click() { FirstWay(true); }
void TSortForm::RadioButton2Click() { FirstWay(false); }

void TSortForm::CheckBox2Click() { ui.ComboBox1->setEnabled(ui.CheckBox2->isChecked()); }

void TSortForm::Edit2Change() { takeSeparatorFrom(ui.Edit2, SortSepChar, this); }

void TSortForm::setPathBox(QLineEdit* box, const std::string& folder) {
    exactPaths_[box] = folder;
    box->setText(displayQ(folder));
}

std::string TSortForm::pathFrom(const QLineEdit* box) const {
    const auto exact = exactPaths_.find(box);
    if (exact != exactPaths_.end() && box->text() == displayQ(exact->second)) return exact->second;
    return fromQ(box->text());
}

void TSortForm::browseInto(QLineEdit* box) {
    const QString chosen = prompts().folder(this, isFolder(pathFrom(box)) ? box->text() : QString());
    if (!chosen.isEmpty()) setPathBox(box, QFile::encodeName(chosen).toStdString());
}

void TSortForm::BitBtn1Click() { browseInto(ui.Edit1); }
void TSortForm::BitBtn4Click() { browseInto(ui.Edit4); }
void TSortForm::BitBtn5Click() { browseInto(ui.Edit3); }

void TSortForm::BitBtn2Click() {
    SortSettings settings;
    settings.restrictExt = ui.CheckBox2->isChecked();
    if (settings.restrictExt) {
        const QString ext = ui.ComboBox1->currentText();
        if (isBlank(fromQ(ext)) || !ext.startsWith('.')) {
            prompts().notice(this, QStringLiteral("先选择正确的后缀格式"));
            ui.ComboBox1->setFocus();
            return;
        }
        settings.extFilter = fromQ(ext);
    }
    settings.byArtist = ui.RadioButton1->isChecked();
    if (!settings.byArtist) {
        if (isBlank(fromQ(ui.Edit3->text()))) {
            prompts().notice(this, QStringLiteral("歌手名不能为空"));
            ui.Edit3->setFocus();
            return;
        }
        settings.collectPath = pathFrom(ui.Edit3);
    }
    settings.searchPath = pathFrom(ui.Edit1);
    settings.destPath = pathFrom(ui.Edit4);
    settings.withSubfolders = ui.CheckBox1->isChecked();
    settings.keepOriginal = ui.CheckBox3->isChecked();
    settings.onlyExisting = ui.CheckBox4->isChecked();
    settings.separator = SortSepChar;
    SortStopFlag = false;
    ui.BitBtn2->setEnabled(false);
    ui.BitBtn6->setEnabled(true);
    running_ = true;
    runFolders_ = {settings.byArtist ? settings.destPath : settings.collectPath, folderOf(settings.searchPath)};
    UndoList* log = beginUndoLog_ ? beginUndoLog_(settings) : nullptr;
    worker_ = new TSortFiles(this, std::move(settings), SortStopFlag, log);
    worker_->start();
}

void TSortForm::BitBtn6Click() { SortStopFlag = true; }

void TSortForm::BitBtn3Click() { hide(); }

void TSortForm::showProgress(const SortCounts& counts) {
    if (!running_) return;
    ui.Label3->setText(QStringLiteral("%1个文件已完成，%2个文件已跳过").arg(counts.sorted).arg(counts.skipped));
    ui.Label3->repaint();
}

void TSortForm::finishRun(const SortCounts& counts, const QString& failure) {
    running_ = false;
    QString text = QStringLiteral("%1个文件已完成，%2个文件已跳过").arg(counts.sorted).arg(counts.skipped);
    text += failure.isEmpty() ? QStringLiteral(" 操作完成！！") : QStringLiteral(" 出错停止：") + failure;
    // Folders that could not be read were not sorted: the user is told which.
    for (const UnreadableFolder& folder : counts.unreadable) text += '\n' + toQ(unreadableFolderMessage(folder));
    ui.Label3->setText(text);
    ui.BitBtn2->setEnabled(true);
    ui.BitBtn6->setEnabled(false);
    if (mainList_) mainList_->reread();
    emit runFinished();
}

}  // namespace quilvane
