#include "app/gui/application_windows.h"

#include <QGuiApplication>
#include <QScreen>

#include "app/gui/form1.h"
#include "files/gui/sort_form.h"
#include "tageditor/gui/form4.h"
#include "tageditor/gui/v1v2_dialog.h"

namespace quilvane {

ApplicationWindows::ApplicationWindows()
    : Form1(std::make_unique<TForm1>()),
      SortForm(std::make_unique<TSortForm>()),
      V1V2Dialog(std::make_unique<TV1V2Dialog>()),
      Form4(std::make_unique<TForm4>()) {
    Form1->SortForm = SortForm.get();
    SortForm->setMainFileList(Form1->ui.FileListBox1);
    // The artist folders a sort made show in the tree at once.
    Form1->V1V2Dialog = V1V2Dialog.get();
    Form1->Form4 = Form4.get();
    V1V2Dialog->setTrackList(Form4.get());
    // The tag editor's folder browser moves the main window's list too; while its batch
    // runs, the main window cannot open one file in it.
    QObject::connect(V1V2Dialog.get(), &TV1V2Dialog::folderChosen, Form1.get(), [form = Form1.get()](const QByteArray& folder) {
        form->selectFolderInTree(folder.toStdString());
    });
    QObject::connect(V1V2Dialog.get(), &TV1V2Dialog::batchRunningChanged, Form1.get(), [form = Form1.get()](bool running) {
        form->ui.N23->setEnabled(!running && form->ui.RadioGroup3->isItemChecked(0));
    });
    SortForm->setUndoLog([form = Form1.get()](const SortSettings& settings) { return form->beginSortingBatch(settings.searchPath); });
    QObject::connect(SortForm.get(), &TSortForm::runFinished, Form1.get(), [form = Form1.get(), sort = SortForm.get()] {
        form->endSortingBatch();
        for (const std::string& folder : sort->changedFolders()) form->rereadTreeFolder(folder);
    });
    // Only the main window ends the program when it closes.
    Form1->setAttribute(Qt::WA_QuitOnClose, true);
    for (QWidget* w : std::initializer_list<QWidget*>{SortForm.get(), V1V2Dialog.get(), Form4.get()})
        w->setAttribute(Qt::WA_QuitOnClose, false);
}

ApplicationWindows::~ApplicationWindows() = default;

void ApplicationWindows::showMainWindow() {
    // Without a window manager "maximized" means nothing, so take the screen's size too.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        Form1->setGeometry(screen->availableGeometry());
    Form1->showMaximized();
}

}  // namespace quilvane
