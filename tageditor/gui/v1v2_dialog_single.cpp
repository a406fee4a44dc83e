// The tag editor on one file: its two tags into the fields, the fields back into the
// file, and the copies between the two tags' fields.
#include "platform/display_name.h"
#include "platform/file_error.h"
#include "platform/qt/prompts.h"
#include "platform/qt/qtext.h"
#include "platform/text.h"
#include "tageditor/gui/v1v2_dialog.h"
#include "tags/tag_reader.h"

namespace quilvane {
namespace {

bool isMp3Path(const std::string& path) {
    const auto dot = path.rfind('.');
    return dot != std::string::npos && asciiUpper(path.substr(dot)) == ".MP3";
}

std::uint8_t genreByte(int index) { return static_cast<std::uint8_t>(index < 0 ? 255 : index); }

}  // namespace

void TV1V2Dialog::UpdateSingleID3() {
    if (!isMp3Path(TargetPath)) return;
    Clearcontent();
    ui.Edit16->setText(displayQ(TargetPath));
    // A file that cannot be read leaves nothing to write until one can.
    singleLoaded_ = false;
    ui.BitBtn1->setEnabled(false);
    try {
        readBothTags(TargetPath, TagV1, TagV2);
    } catch (const FileError& e) {
        prompts().error(this, toQ(e.what()));
        return;
    }
    singleLoaded_ = true;
    ui.BitBtn1->setEnabled(!batchRunning());
    ui.CheckBox1->setChecked(TagV1.HasTag);
    ui.CheckBox2->setChecked(TagV2.HasTag);
    const std::pair<QLineEdit*, const std::string*> v1[] = {{ui.Edit1, &TagV1.Title}, {ui.Edit2, &TagV1.Artist},
                                                            {ui.Edit3, &TagV1.Album}, {ui.Edit4, &TagV1.Year},
                                                            {ui.Edit5, &TagV1.Comment}};
    for (const auto& [box, text] : v1) box->setText(toQ(*text));
    setGenre(ui.ComboBox1, TagV1.Genre);
    loadedGenreV1_ = ui.ComboBox1->currentIndex();
    const std::pair<QLineEdit*, TID3V2::Slot> v2[] = {
        {ui.Edit6, TID3V2::Title},     {ui.Edit7, TID3V2::Artist},   {ui.Edit8, TID3V2::Album},
        {ui.Edit9, TID3V2::Year},      {ui.Edit10, TID3V2::Track},   {ui.Edit11, TID3V2::Composer},
        {ui.Edit12, TID3V2::OriginalArtist}, {ui.Edit13, TID3V2::Copyright}, {ui.Edit14, TID3V2::Url},
        {ui.Edit15, TID3V2::EncodedBy}};
    for (const auto& [box, slot] : v2) box->setText(toQ(TagV2.Frames[slot]));
    setGenre(ui.ComboBox2, TagV2.GetGenre() & 0xFF);
    loadedGenreV2_ = ui.ComboBox2->currentIndex();
    ui.Memo1->setPlainText(toQ(TagV2.Frames[TID3V2::Comment]).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

// The ID3v2 tag goes first: writing it checks that the file is still as it was read,
// and adding or cutting the ID3v1 block at the end would change the file's size.
void TV1V2Dialog::BitBtn1Click() {
    if (!singleLoaded_) return;
    QStringList said;
    try {
        said << applyV2();
        TagV1.followOtherTagWrite();
        said << applyV1();
        // The objects follow the file they just wrote.
        readBothTags(TargetPath, TagV1, TagV2);
    } catch (const FileError& e) {
        prompts().error(this, toQ(e.what()));
        // What another program wrote is shown, instead of being written over next time.
        if (e.kind() == FileError::Kind::ChangedSinceLoad) UpdateSingleID3();
    }
    said.removeAll(QString());
    showStatus(said.join(QStringLiteral("；")));
}

QString TV1V2Dialog::applyV2() {
    if (!ui.CheckBox2->isChecked()) {
        if (!TagV2.HasTag) return {};
        TagV2.RemoveTag();
        return QStringLiteral("已删除ID3v2标签");
    }
    const TagFieldValues values = fieldValues();
    for (std::size_t slot = 0; slot < 12; ++slot)
        if (slot != TID3V2::Genre) TagV2.Frames[slot] = values.v2[slot];
    if (values.v2Genre != loadedGenreV2_) TagV2.SetGenre(genreByte(values.v2Genre));
    if (!TagV2.SaveTag()) return QStringLiteral("ID3v2标签超过2000字节，未写入");
    return TagV2.lastSaveWrote() ? QStringLiteral("已写入ID3v2标签") : QString();
}

QString TV1V2Dialog::applyV1() {
    if (!ui.CheckBox1->isChecked()) {
        if (!TagV1.HasTag) return {};
        TagV1.RemoveTag();
        return QStringLiteral("已删除ID3v1标签");
    }
    const TagFieldValues values = fieldValues();
    TagV1.SetTitle(values.v1[0]);
    TagV1.SetArtist(values.v1[1]);
    TagV1.SetAlbum(values.v1[2]);
    TagV1.SetYear(values.v1[3]);
    TagV1.SetComment(values.v1[4]);
    if (values.v1Genre != loadedGenreV1_) TagV1.SetGenre(genreByte(values.v1Genre));
    if (!TagV1.Modified) return {};
    TagV1.SaveTag();
    return QStringLiteral("文件") + displayQ(TargetPath) + QStringLiteral("已完成更改");
}

void TV1V2Dialog::BitBtn2Click() {
    ui.Edit1->setText(ui.Edit6->text());
    ui.Edit2->setText(ui.Edit7->text());
    ui.Edit3->setText(ui.Edit8->text());
    ui.Edit4->setText(ui.Edit9->text());
    ui.ComboBox1->setCurrentIndex(ui.ComboBox2->currentIndex());
    ui.Edit5->setText(ui.Memo1->toPlainText());
    ui.CheckBox1->setChecked(true);
}

void TV1V2Dialog::BitBtn3Click() {
    ui.Edit6->setText(ui.Edit1->text());
    ui.Edit7->setText(ui.Edit2->text());
    ui.Edit8->setText(ui.Edit3->text());
    ui.Edit9->setText(ui.Edit4->text());
    ui.ComboBox2->setCurrentIndex(ui.ComboBox1->currentIndex());
    ui.Memo1->setPlainText(ui.Edit5->text());
    ui.CheckBox2->setChecked(true);
    CheckEnable();
}

}  // namespace quilvane
