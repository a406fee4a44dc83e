// "ID3v1特定应用": names typed into the editing area looked up among the list's entries;
// each found entry's line becomes its name, its album or its year.
#include "app/gui/form1.h"
#include "editing/list_correspondence.h"
#include "editing/tag_fields.h"
#include "platform/display_name.h"
#include "platform/file_error.h"
#include "platform/paths.h"
#include "platform/qt/prompts.h"
#include "platform/qt/qtext.h"
#include "platform/text.h"

namespace quilvane {

void TForm1::SearchSomeFile(SearchKind kind) {
    // The trimmed lines that are not empty (a line of blanks gives an empty name).
    std::vector<std::string> names;
    for (const QString& line : memoLines())
        if (!line.isEmpty()) names.emplace_back(trimBlanks(fromQ(line)));
    if (names.empty()) {
        prompts().notice(this, QStringLiteral("先在编辑框指定文件名"));
        return;
    }
    TFileListBox& list = *ui.FileListBox1;
    std::vector<std::string> entries;
    for (int i = 0; i < list.count(); ++i) entries.push_back(list.itemBytes(i));
    QStringList lines;
    for (int i = 0; i < list.count(); ++i) lines << QString();
    QString notFound;
    for (const std::string& name : names) {
        const int k = firstEntryStartingWith(entries, name);
        if (k < 0) {
            notFound += toQ(name) + '|';
            continue;
        }
        // Selected and scrolled to the top, as no click: nothing of a click runs.
        list.setItemIndex(k);
        list.scrollTo(list.model()->index(k, 0), QAbstractItemView::PositionAtTop);
        if (kind == SearchKind::EntryName) {
            lines[k] = displayQ(entries[static_cast<std::size_t>(k)]);
            continue;
        }
        try {
            const TagBlock block = AbtainId3Tag(joinPath(list.directory(), entries[static_cast<std::size_t>(k)]));
            lines[k] = toQ(fieldLine(block, kind == SearchKind::Album ? TagFieldKind::Album : TagFieldKind::Year));
        } catch (const FileError& e) {
            if (e.kind() == FileError::Kind::NotRegularFile) continue;  // a pipe named like a song: no tag
            setMemoLines(lines);
            prompts().error(this, QStringLiteral("Cannot open file ") + displayQ(e.path()));
            return;
        }
    }
    setMemoLines(lines);
    if (!notFound.isEmpty()) showStatus(notFound + QStringLiteral("没找到"));
}

void TForm1::MP32Click() { SearchSomeFile(SearchKind::Album); }
void TForm1::MP33Click() { SearchSomeFile(SearchKind::Year); }
void TForm1::N37Click() { SearchSomeFile(SearchKind::EntryName); }

}  // namespace quilvane
