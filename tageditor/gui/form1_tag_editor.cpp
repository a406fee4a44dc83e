// The main window's ways into the tag editor.
#include <QElapsedTimer>

#include "app/gui/form1.h"
#include "platform/display_name.h"
#include "platform/file_error.h"
#include "platform/paths.h"
#include "platform/qt/prompts.h"
#include "platform/qt/qtext.h"
#include "platform/text.h"
#include "tageditor/gui/form4.h"
#include "tageditor/gui/v1v2_dialog.h"

namespace quilvane {

// "曲目信息": the selected MP3 file in the tag editor.
void TForm1::N23Click() {
    const std::string path = ui.FileListBox1->selectedPath();
    const auto dot = path.rfind('.');
    if (!V1V2Dialog || path.empty() || dot == std::string::npos || asciiUpper(path.substr(dot)) != ".MP3") return;
    V1V2Dialog->openForFile(path);
}

// "V1V2批量修改" and "ID3修改": the list's folder in the tag editor's batch.
void TForm1::V1V21Click() {
    if (V1V2Dialog) V1V2Dialog->openForFolder(ui.FileListBox1->directory());
}

// "显示所有ID信息": the tags of the list's MP3 files in the track list, numbered by their
// place in the list. The rows go in at most about twenty times a second.
void TForm1::N40Click() {
    if (!Form4) return;
    TID3V1 v1;
    TID3V2 v2;
    Form4->clear();
    Form4->show();
    Form4->raise();
    const std::string folder = ui.FileListBox1->directory();
    const bool id3v1First = ui.CheckBox8->isChecked();
    std::vector<TrackRow> batch;
    QElapsedTimer sinceBatch;
    sinceBatch.start();
    for (int i = 0; i < ui.FileListBox1->count(); ++i) {
        const std::string& entry = ui.FileListBox1->itemBytes(i);
        if (!isListedMp3(entry)) continue;
        try {
            batch.push_back(listRow(joinPath(folder, entry), displayName(entry), i + 1, id3v1First, v1, v2));
        } catch (const FileError& e) {
            if (e.kind() == FileError::Kind::NotRegularFile) continue;  // a pipe named like a song
            Form4->appendRows(std::move(batch));
            prompts().error(this, toQ(e.what()));
            return;
        }
        if (sinceBatch.elapsed() < 50) continue;
        Form4->appendRows(std::move(batch));
        batch.clear();
        sinceBatch.restart();
    }
    Form4->appendRows(std::move(batch));
}

}  // namespace quilvane
