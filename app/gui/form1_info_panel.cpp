// The list click and the information panel: an entry's time, size and attributes, the
// folder statistics, the ID3v1 tag panel and the picture preview.
#include <QDateTime>
#include <QFile>
#include <QLocale>

#include "app/folder_statistics.h"
#include "app/gui/form1.h"
#include "app/gui/get_dir_information.h"
#include "files/file_utils.h"
#include "naming/id3_naming.h"
#include "platform/attributes.h"
#include "platform/codepage.h"
#include "platform/file_error.h"
#include "platform/file_list_entries.h"
#include "platform/paths.h"
#include "platform/qt/picture.h"
#include "platform/qt/prompts.h"
#include "platform/qt/qtext.h"
#include "platform/text.h"
#include "tags/genres.h"

namespace quilvane {
namespace {

bool isFolderMode(const Ui::TForm1& ui) { return ui.RadioGroup3->isItemChecked(1); }

QString extensionOf(const std::string& path) {
    const std::string name = fileNameOf(path);
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? QString() : toQ(asciiUpper(name.substr(dot)));
}

}  // namespace

TagBlock TForm1::AbtainId3Tag(const std::string& path) { return readTagBlock(path); }

void TForm1::ChangeMP3ID(const std::string& path, const TagBlock& block) {
    writeTagBlock(path, block);
    ++RenamedCount;
}

// The full path of the selected entry for the panel's commands; empty for "[.]" and
// "[..]" unless asked for, and when nothing is selected.
std::string TForm1::entryPath(bool allowDotEntries) const {
    const int index = ui.FileListBox1->itemIndex();
    if (index < 0) return {};
    const std::string& entry = ui.FileListBox1->itemBytes(index);
    if (!isFolderMode(ui)) return joinPath(ui.FileListBox1->directory(), entry);
    if (isDotEntry(entry) && !allowDotEntries) return {};
    return joinPath(ui.FileListBox1->directory(), withoutBrackets(entry));
}

void TForm1::setAttributeBoxes(std::uint16_t word) {
    ui.ReadOnly->setChecked(word & attr::ReadOnly);
    ui.Archive->setChecked(word & attr::Archive);
    ui.System->setChecked(word & attr::System);
    ui.Hidden->setChecked(word & attr::Hidden);
}

void TForm1::startStatistics(const std::string& path) {
    auto* worker = new TGetDirInformation(path);
    ++runningStatistics_;
    connect(worker, &TGetDirInformation::counted, this, [this, path](const QString& counts, const QString& size) {
        if (shownPath_ != path) return;  // the panel shows another entry by now
        ui.Label2->setText(counts);
        ui.Label3->setText(size);
    });
    connect(worker, &QThread::finished, this, [this] { --runningStatistics_; });
    worker->start();
}

// Folder mode, steps 1.3 to 1.6: false when the folder is not found.
bool TForm1::showFolderInformation(const std::string& path, const QString& name) {
    ui.Label1->setText(QStringLiteral("目录信息：") + name);
    ui.Label1->setToolTip(name);  // a long name is cut at the panel's edge
    SelectedPath = path;
    shownPath_ = path;
    if (ui.CheckBox7->isChecked()) startStatistics(path);
    const auto word = attributeWord(path);
    if (!word) return false;
    setAttributeBoxes(*word);
    return true;
}

void TForm1::showFileInformation(const std::string& path, const QString& name) {
    const QDateTime modified = QDateTime::fromSecsSinceEpoch(FileModifiedTime(path));
    ui.Label2->setText(QStringLiteral("修改时间: ") + QLocale().toString(modified, QLocale::ShortFormat));
    ui.Label1->setText(QStringLiteral("文件信息：") + name);
    ui.Label1->setToolTip(name);  // a long name is cut at the panel's edge
    ui.Label3->setText(QStringLiteral("%1: %2 字节").arg(QStringLiteral("文件大小")).arg(FileSizeOf(path)));
    setAttributeBoxes(attributeWord(path).value_or(0));
    shownPath_ = path;
}

void TForm1::clearInformation() {
    ui.Label1->setText(QStringLiteral("文件信息："));
    ui.Label1->setToolTip({});
    ui.Label2->setText(QStringLiteral("修改时间："));
    ui.Label3->setText(QStringLiteral("文件大小："));
    setAttributeBoxes(0);
    hidePreview();
    shownPath_.clear();
}

void TForm1::forgetVanishedEntry() {
    if (shownPath_.empty()) return;
    const TFileListBox& list = *ui.FileListBox1;
    if (folderOf(shownPath_) == list.directory()) {
        const std::string name = fileNameOf(shownPath_);
        const bool folderMode = isFolderMode(ui);
        for (int i = 0; i < list.count(); ++i)
            if ((folderMode ? withoutBrackets(list.itemBytes(i)) : list.itemBytes(i)) == name) return;
    }
    clearInformation();
}

void TForm1::FileListBox1Click() {
    const int index = ui.FileListBox1->itemIndex();
    if (index < 0) {
        prompts().error(this, QStringLiteral("没有选中的项目"));
        return;
    }
    const std::string& entry = ui.FileListBox1->itemBytes(index);
    const bool folderMode = isFolderMode(ui);
    if (folderMode && isDotEntry(entry)) return;
    const std::string name = folderMode ? withoutBrackets(entry) : entry;
    std::string path = joinPath(ui.FileListBox1->directory(), name);
    try {
        bool skipRename = false;
        if (folderMode) skipRename = showFolderInformation(path, displayQ(name));
        else showFileInformation(path, displayQ(name));
        if (!skipRename && ui.CheckBox3->isChecked()) {
            const std::size_t logged = UndoList.size();
            if (!renameClickedFile(path)) return;
            // The panel follows the file under its new name.
            if (UndoList.size() > logged) {
                path = UndoList.records().back().newPath;
                showFileInformation(path, displayQ(fileNameOf(path)));
            }
        } else {
            if (ui.CheckBox5->isChecked()) copyClickedName(index, displayQ(name));
            if (ui.CheckBox6->isChecked()) {
                positionEditorAt(index);
                if (folderMode) return;
            }
        }
        showPreview(folderMode ? std::string() : path);
    } catch (const std::exception& e) {
        prompts().error(this, toQ(e.what()));
    }
}

void TForm1::showPreview(const std::string& path) {
    // A pipe or a device is never opened: reading one would hang the window.
    const QString ext = path.empty() || !isRegularFile(path) ? QString() : extensionOf(path);
    if (ext == ".MP3") {
        showTagPanel(path);
    } else if (QStringList{".BMP", ".WMF", ".EMF", ".JPG", ".JPEG", ".ICO"}.contains(ext)) {
        showPicture(path);
    } else {
        hidePreview();
    }
}

void TForm1::hidePreview() {
    ui.Panel9->hide();
    ui.Panel10->hide();
    tagPanelPath_.clear();
}

std::array<std::pair<QLineEdit*, TagField>, 5> TForm1::tagPanelFields() const {
    return {{{ui.Edit1, tagfield::Title}, {ui.Edit2, tagfield::Artist}, {ui.Edit6, tagfield::Album},
             {ui.Edit7, tagfield::Year}, {ui.Edit8, tagfield::Comment}}};
}

void TForm1::showTagPanel(const std::string& path) {
    const TagBlock tag = AbtainId3Tag(path);
    const bool tagged = tag.isTag();
    for (const auto& [box, field] : tagPanelFields()) box->setText(tagged ? toQ(tag.text(field)) : QString());
    ui.ComboBox1->setCurrentIndex(tagged && tag.genre() < Genres.size() ? tag.genre() : -1);
    tagPanelPath_ = path;
    tagPanelShown_ = tag;
    tagPanelGenre_ = ui.ComboBox1->currentIndex();
    ui.Panel9->show();
    ui.Panel10->hide();
}

void TForm1::showPicture(const std::string& path) {
    const QImage image = loadPicture(path);
    if (image.isNull()) {
        ui.Image2->setPixmap(QPixmap());
        ui.Image2->setText(QStringLiteral("无法显示该图片"));
    } else {
        ui.Image2->setPixmap(QPixmap::fromImage(image));
    }
    ui.Panel10->show();
    ui.Panel9->hide();
    tagPanelPath_.clear();
}

void TForm1::Button2Click() {
    const std::string path = entryPath(false);
    if (path.empty()) return;
    const auto word = attributeWord(path);
    if (!word) return;
    std::uint16_t changed = *word & ~(attr::ReadOnly | attr::Archive | attr::System | attr::Hidden);
    if (ui.ReadOnly->isChecked()) changed |= attr::ReadOnly;
    if (ui.Archive->isChecked()) changed |= attr::Archive;
    if (ui.System->isChecked()) changed |= attr::System;
    if (ui.Hidden->isChecked()) changed |= attr::Hidden;
    if (changed != *word) setAttributeWord(path, changed);
}

void TForm1::Button3Click() {
    // The tag goes to the file whose tag the panel shows, whatever the list shows now.
    if (tagPanelPath_.empty()) return;
    std::array<std::string, 5> texts;
    const auto fields = tagPanelFields();
    for (std::size_t i = 0; i < texts.size(); ++i) texts[i] = fromQ(fields[i].first->text());
    const int genre = ui.ComboBox1->currentIndex();
    try {
        // Another program's edit since the panel was filled is shown, not written over.
        const TagBlock now = AbtainId3Tag(tagPanelPath_);
        if (now.bytes != tagPanelShown_.bytes) {
            const std::string path = tagPanelPath_;
            showTagPanel(path);
            throw FileError(FileError::Kind::ChangedSinceLoad, path, 0);
        }
        // Fields the user left as they were keep their bytes, the genre too.
        const std::uint8_t genreByte = genre == tagPanelGenre_ && now.isTag() ? now.genre()
                                                                               : static_cast<std::uint8_t>(genre < 0 ? 255 : genre);
        const TagBlock block = editedBlock(now, texts, genreByte);
        ChangeMP3ID(tagPanelPath_, block);
        tagPanelShown_ = block;
    } catch (const FileError& e) {
        prompts().error(this, toQ(e.path().empty() ? FileError(e.kind(), tagPanelPath_, 0, e.textRefused()).what() : e.what()));
    }
}

}  // namespace quilvane
