// The main window's side of the repair of garbled tags and names.
#include "app/gui/form1.h"
#include "tageditor/gui/repair_dialog.h"

namespace quilvane {

void TForm1::N55Click() {
    if (!RepairDialog) {
        RepairDialog = new TRepairDialog(this, UndoList, [this] {
            // Renamed entries are undone by 撤销更名, and the list and tree show the new names.
            if (!UndoList.empty()) enableUndo();
            ui.FileListBox1->reread();
            rereadTreeFolder(ui.FileListBox1->directory());
        });
    }
    RepairDialog->openOn(ui.FileListBox1->directory());
}

}  // namespace quilvane
