// The main window's ways into the tag editor.
#include "app/gui/form1.h"
#include "platform/paths.h"
#include "platform/text.h"
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

}  // namespace quilvane
