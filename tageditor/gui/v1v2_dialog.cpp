// The tag editor's window: its controls, the enabling rules of both modes, and the
// folder browser.
#include "tageditor/gui/v1v2_dialog.h"

#include <QCoreApplication>
#include <QFile>

#include "platform/display_name.h"
#include "platform/paths.h"
#include "platform/qt/prompts.h"
#include "platform/qt/qtext.h"
#include "tageditor/gui/change_v1v2.h"
#include "tageditor/gui/scan_id3_thread.h"
#include "tags/genres.h"

namespace quilvane {

TV1V2Dialog::TV1V2Dialog(QWidget* parent) : QDialog(parent) {
    ui.setupUi(this);
    setObjectName(QStringLiteral("V1V2Dialog"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setModal(false);
    ui.StatusBar1->setPanelWidths({200});
    for (QCheckBox* box : {ui.CheckBox1, ui.CheckBox2, ui.CheckBox3, ui.CheckBox4, ui.CheckBox5})
        connect(box, &QCheckBox::toggled, this, &TV1V2Dialog::CheckEnable);
    connect(ui.RadioGroup1, &TRadioGroup::clicked, this, &TV1V2Dialog::CheckEnable);
    const std::pair<QPushButton*, void (TV1V2Dialog::*)()> buttons[] = {
        {ui.BitBtn1, &TV1V2Dialog::BitBtn1Click}, {ui.BitBtn2, &TV1V2Dialog::BitBtn2Click},
        {ui.BitBtn3, &TV1V2Dialog::BitBtn3Click}, {ui.BitBtn4, &TV1V2Dialog::BitBtn4Click},
        {ui.BitBtn5, &TV1V2Dialog::BitBtn5Click}, {ui.BitBtn6, &TV1V2Dialog::BitBtn6Click},
        {ui.BitBtn7, &TV1V2Dialog::BitBtn7Click}, {ui.BitBtn8, &TV1V2Dialog::BitBtn8Click}};
    for (const auto& [button, handler] : buttons) connect(button, &QPushButton::clicked, this, handler);
    const auto edited = [this] { ++fieldsGeneration_; };
    for (QLineEdit* box : findChildren<QLineEdit*>()) connect(box, &QLineEdit::textChanged, this, edited);
    for (QComboBox* box : {ui.ComboBox1, ui.ComboBox2}) connect(box, &QComboBox::currentIndexChanged, this, edited);
    connect(ui.Memo1, &QPlainTextEdit::textChanged, this, edited);
    FormCreate();
}

TV1V2Dialog::~TV1V2Dialog() {
    // A batch still running reads this window's fields through the window thread: stop
    // it, and keep answering it until it has ended.
    StopBatch = true;
    StopScan = true;
    while ((worker_ && !worker_->wait(10)) || (scan_ && !scan_->wait(10))) QCoreApplication::processEvents();
}

void TV1V2Dialog::FormCreate() {
    for (QComboBox* box : {ui.ComboBox1, ui.ComboBox2}) {
        box->clear();
        for (std::string_view genre : Genres) box->addItem(toQ(genre));
        box->setCurrentIndex(kDefaultGenre);
    }
    ui.RadioGroup1->setItemIndex(0);
}

void TV1V2Dialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CheckEnable();
}

void TV1V2Dialog::showStatus(const QString& text) { ui.StatusBar1->showNow(0, text); }

void TV1V2Dialog::openForFile(const std::string& path) {
    TargetPath = path;
    singleLoaded_ = false;
    SingleFile = true;
    show();
    raise();
    CheckEnable();
    UpdateSingleID3();
}

void TV1V2Dialog::openForFolder(const std::string& folder) {
    TargetPath = folder;
    ui.Edit16->setText(displayQ(folder));
    for (QCheckBox* box : {ui.CheckBox3, ui.CheckBox4, ui.CheckBox5}) box->setChecked(true);
    ui.CheckBox9->setChecked(false);
    ui.RadioGroup1->setItemIndex(0);
    SingleFile = false;
    show();
    raise();
    CheckEnable();
}

void TV1V2Dialog::Clearcontent() {
    for (QLineEdit* box : {ui.Edit1, ui.Edit2, ui.Edit3, ui.Edit4, ui.Edit5, ui.Edit6, ui.Edit7, ui.Edit8, ui.Edit9,
                           ui.Edit10, ui.Edit11, ui.Edit12, ui.Edit13, ui.Edit14, ui.Edit15})
        box->clear();
    ui.ComboBox1->setCurrentIndex(kDefaultGenre);
    ui.ComboBox2->setCurrentIndex(kDefaultGenre);
    ui.Memo1->clear();
}

void TV1V2Dialog::CheckEnable() {
    ui.Edit16->setText(displayQ(TargetPath));
    ui.GroupBox3->setEnabled(!SingleFile);
    ui.BitBtn7->setEnabled(!SingleFile);
    // The single-file commands stay off while a batch runs, which writes other files.
    ui.BitBtn1->setEnabled(SingleFile && !batchRunning() && singleLoaded_);
    ui.BitBtn4->setEnabled(SingleFile && !batchRunning());
    ui.StatusBar1->setPanelText(0, QString());
    if (SingleFile) {
        ui.BitBtn8->setEnabled(false);
    } else {
        const QSignalBlocker v1(ui.CheckBox1), v2(ui.CheckBox2);
        Clearcontent();
        ui.BitBtn8->setEnabled(true);
        const QString unknown = QStringLiteral("Unknown");
        for (QLineEdit* box : {ui.Edit1, ui.Edit6})
            box->setText(ui.CheckBox4->isChecked() ? QStringLiteral("标题取文件名") : unknown);
        for (QLineEdit* box : {ui.Edit2, ui.Edit7})
            box->setText(ui.CheckBox3->isChecked() ? QStringLiteral("艺术家取文件夹名") : unknown);
        if (ui.CheckBox5->isChecked()) {
            for (QLineEdit* box : {ui.Edit3, ui.Edit8, ui.Edit11, ui.Edit12, ui.Edit13, ui.Edit14, ui.Edit15})
                box->setText(unknown);
            ui.Edit4->setText(QStringLiteral("未知"));
            ui.Edit9->setText(QStringLiteral("未知"));
            ui.Edit5->setText(QStringLiteral("Modified by orvek"));
            ui.Memo1->setPlainText(QStringLiteral("Modified by orvek"));
            ui.Edit10->setText(QStringLiteral("0"));
        }
        const int mode = ui.RadioGroup1->itemIndex();
        ui.CheckBox1->setChecked(mode == 0 || mode == 2);
        ui.CheckBox2->setChecked(mode == 1 || mode == 2);
    }
    ui.CheckBox1->setEnabled(true);
    ui.CheckBox2->setEnabled(true);
    const bool v1 = ui.CheckBox1->isChecked();
    const bool v2 = ui.CheckBox2->isChecked();
    ui.BitBtn3->setEnabled(v1 && SingleFile);
    for (QWidget* w : std::initializer_list<QWidget*>{ui.Edit1, ui.Edit2, ui.Edit3, ui.Edit4, ui.Edit5, ui.ComboBox1})
        w->setEnabled(v1);
    ui.BitBtn2->setEnabled(v2 && SingleFile);
    for (QWidget* w : std::initializer_list<QWidget*>{ui.Edit6, ui.Edit7, ui.Edit8, ui.Edit9, ui.Edit10, ui.Edit11,
                                                     ui.Edit12, ui.Edit13, ui.Edit14, ui.Edit15, ui.ComboBox2, ui.Memo1})
        w->setEnabled(v2);
}

void TV1V2Dialog::setGenre(QComboBox* box, int genre) {
    box->setCurrentIndex(genre >= 0 && genre < static_cast<int>(Genres.size()) ? genre : -1);
}

TagFieldValues TV1V2Dialog::fieldValues() const {
    TagFieldValues values;
    const QLineEdit* v1[] = {ui.Edit1, ui.Edit2, ui.Edit3, ui.Edit4, ui.Edit5};
    for (std::size_t i = 0; i < values.v1.size(); ++i) values.v1[i] = fromQ(v1[i]->text());
    values.v1Genre = ui.ComboBox1->currentIndex();
    const std::pair<TID3V2::Slot, const QLineEdit*> v2[] = {
        {TID3V2::Track, ui.Edit10},         {TID3V2::EncodedBy, ui.Edit15}, {TID3V2::Url, ui.Edit14},
        {TID3V2::Copyright, ui.Edit13},     {TID3V2::OriginalArtist, ui.Edit12}, {TID3V2::Composer, ui.Edit11},
        {TID3V2::Year, ui.Edit9},           {TID3V2::Album, ui.Edit8},     {TID3V2::Artist, ui.Edit7},
        {TID3V2::Title, ui.Edit6}};
    for (const auto& [slot, box] : v2) values.v2[slot] = fromQ(box->text());
    // The comment's lines as the file keeps them: joined by CR LF.
    values.v2[TID3V2::Comment] = fromQ(ui.Memo1->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
    values.v2Genre = ui.ComboBox2->currentIndex();
    return values;
}

void TV1V2Dialog::BitBtn4Click() { CheckEnable(); }

void TV1V2Dialog::BitBtn5Click() { hide(); }

void TV1V2Dialog::BitBtn7Click() {
    const QString chosen = prompts().folder(this, ui.Edit16->text());
    if (chosen.isEmpty()) return;
    const QByteArray folder = QFile::encodeName(chosen);
    TargetPath = folder.toStdString();
    ui.Edit16->setText(displayQ(TargetPath));
    emit folderChosen(folder);
}

}  // namespace quilvane
