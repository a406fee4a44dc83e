// One ID3v1 field of every file of the list into the editing area ("提取…"), the lines
// back into the files ("修改…"), and the genre names ("列举所有流派").
#include "app/gui/form1.h"
#include "editing/tag_fields.h"
#include "platform/display_name.h"
#include "platform/file_error.h"
#include "platform/paths.h"
#include "platform/qt/prompts.h"
#include "platform/qt/qtext.h"
#include "platform/text.h"
#include "tags/genres.h"

namespace quilvane {
namespace {

// An entry takes part when its name ends in ".mp3", in any letter case; in folder mode
// none does.
bool takesPart(const std::string& entry, bool folderMode) {
    return !folderMode && entry.size() >= 4 && asciiUpper(std::string_view(entry).substr(entry.size() - 4)) == ".MP3";
}

QString cannotOpen(const FileError& e) {
    if (e.kind() == FileError::Kind::Open) return QStringLiteral("Cannot open file ") + displayQ(e.path());
    return toQ(e.what());
}

}  // namespace

void TForm1::connectTagFieldHandlers() {
    const std::pair<QAction*, void (TForm1::*)()> items[] = {
        {ui.N24, &TForm1::N24Click}, {ui.N25, &TForm1::N25Click}, {ui.N26, &TForm1::N26Click},
        {ui.N29, &TForm1::N29Click}, {ui.N27, &TForm1::N27Click}, {ui.N28, &TForm1::N28Click},
        {ui.N30, &TForm1::N30Click}, {ui.N32, &TForm1::N32Click}, {ui.N31, &TForm1::N31Click},
        {ui.N35, &TForm1::N35Click}, {ui.N33, &TForm1::N33Click}, {ui.N34, &TForm1::N34Click},
        {ui.N39, &TForm1::N39Click}, {ui.MP32, &TForm1::MP32Click}, {ui.MP33, &TForm1::MP33Click},
        {ui.N37, &TForm1::N37Click}};
    for (const auto& [action, handler] : items) connect(action, &QAction::triggered, this, handler);
}

void TForm1::N24Click() { ShowID3ToMemo(TagFieldKind::Title); }
void TForm1::N25Click() { ShowID3ToMemo(TagFieldKind::Artist); }
void TForm1::N26Click() { ShowID3ToMemo(TagFieldKind::Album); }
void TForm1::N29Click() { ShowID3ToMemo(TagFieldKind::Genre); }
void TForm1::N27Click() { ShowID3ToMemo(TagFieldKind::Year); }
void TForm1::N28Click() { ShowID3ToMemo(TagFieldKind::Comment); }
void TForm1::N30Click() { ChangeID3WithMemo(TagFieldKind::Title, ui.N30->text()); }
void TForm1::N32Click() { ChangeID3WithMemo(TagFieldKind::Album, ui.N32->text()); }
void TForm1::N31Click() { ChangeID3WithMemo(TagFieldKind::Artist, ui.N31->text()); }
void TForm1::N35Click() { ChangeID3WithMemo(TagFieldKind::Genre, ui.N35->text()); }
void TForm1::N33Click() { ChangeID3WithMemo(TagFieldKind::Year, ui.N33->text()); }
void TForm1::N34Click() { ChangeID3WithMemo(TagFieldKind::Comment, ui.N34->text()); }

void TForm1::ShowID3ToMemo(TagFieldKind kind) {
    TFileListBox& list = *ui.FileListBox1;
    if (list.count() == 0) return;
    const bool folderMode = ui.RadioGroup3->isItemChecked(1);
    QStringList lines;
    QString failure;
    for (int i = 0; i < list.count(); ++i) {
        const std::string& entry = list.itemBytes(i);
        if (!takesPart(entry, folderMode)) {
            lines << QString();
            continue;
        }
        try {
            lines << toQ(fieldLine(AbtainId3Tag(joinPath(list.directory(), entry)), kind));
        } catch (const FileError& e) {
            if (e.kind() == FileError::Kind::NotRegularFile) {
                lines << QString();  // a pipe named like a song holds no tag
                continue;
            }
            failure = cannotOpen(e);
            break;
        }
    }
    setMemoLines(lines);
    if (!failure.isEmpty()) prompts().error(this, failure);
}

void TForm1::ChangeID3WithMemo(TagFieldKind kind, const QString& caption) {
    RenamedCount = 0;
    const QStringList lines = memoLines();
    TFileListBox& list = *ui.FileListBox1;
    const bool folderMode = ui.RadioGroup3->isItemChecked(1);
    const int n = std::min(static_cast<int>(lines.size()), list.count());
    int cut = 0;  // texts longer than their field
    for (int k = 0; k < n; ++k) {
        const std::string& entry = list.itemBytes(k);
        if (lines[k].isEmpty() || !takesPart(entry, folderMode)) continue;
        const std::string path = joinPath(list.directory(), entry);
        try {
            if (const auto block = withFieldLine(AbtainId3Tag(path), kind, fromQ(lines[k]))) {
                if (kind != TagFieldKind::Genre && fieldLine(*block, kind) != trimBlanks(fromQ(lines[k]))) ++cut;
                ChangeMP3ID(path, *block);
            }
        } catch (const FileError& e) {
            if (e.kind() == FileError::Kind::NotRegularFile) continue;  // a pipe named like a song
            // What was written before stays written; the message names the file.
            prompts().error(this, cannotOpen(e.path().empty() ? FileError(e.kind(), path, 0, e.textRefused()) : e));
            RenamedCount = 0;
            return;
        } catch (const NotAnInteger& e) {
            prompts().error(this, toQ(e.what()));
            RenamedCount = 0;
            return;
        }
    }
    QString text = QString::number(RenamedCount) + QStringLiteral("个文件") + caption + QStringLiteral("成功");
    if (cut > 0) text += QStringLiteral("，其中%1个超出ID3v1的宽度，已截短").arg(cut);
    showStatus(text);
    RenamedCount = 0;
}

void TForm1::N39Click() {
    QStringList names;
    for (std::string_view genre : Genres) names << toQ(genre);
    setMemoLines(names);
}

}  // namespace quilvane
