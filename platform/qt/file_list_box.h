#pragma once
// The file list: bound to a folder, a file mask and a content type (files or folders).
// Reading it makes its folder the process's working directory, which the naming
// commands rely on. Each entry keeps the name's own bytes, so a name that is not valid
// UTF-8 is shown with replacement characters but acted on exactly.
#include <QAbstractListModel>
#include <QIcon>
#include <QListView>
#include <string>
#include <vector>

#include "platform/file_list_entries.h"

namespace quilvane {

class FileListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;

    void setEntries(std::vector<std::string> entries);
    const std::vector<std::string>& entries() const { return entries_; }

private:
    std::vector<std::string> entries_;
    std::vector<QString> texts_;
    QIcon folderIcon_, programIcon_, fileIcon_;
};

class TFileListBox : public QListView {
    Q_OBJECT
public:
    explicit TFileListBox(QWidget* parent = nullptr);

    const std::string& directory() const { return directory_; }
    // Makes `folder` the list's folder and the working directory, and reads it.
    // Returns 0, or errno when the folder cannot be read (the list keeps its folder).
    int setDirectory(const std::string& folder);
    QString mask() const { return mask_; }
    void setMask(const QString& mask);
    ListContent content() const { return content_; }
    void setContent(ListContent content);

    // Re-reads the folder (and makes it the working directory again).
    int reread();
    void clear();

    int count() const;
    QString itemText(int index) const;
    const std::string& itemBytes(int index) const;
    // -1 when nothing is selected.
    int itemIndex() const;
    void setItemIndex(int index);
    // The full path of the selected entry; empty when nothing is selected.
    std::string selectedPath() const;
    // Selects the entry as a mouse click does, click handling included.
    void clickItem(int index);
    // Every row exactly one line of this font high, so rows match the lines of an editor
    // in the same font.
    void setRowFont(const QFont& font);

    // What the last drag from the list carried, taken when it started: a drop handled
    // after the drag has ended (and the list was read again) still knows it.
    struct Dragged {
        std::string folder;
        std::string entry;
    };
    const Dragged& dragged() const { return dragged_; }

signals:
    // The user chose an entry: a mouse click, or a key that moved the selection.
    void itemClicked();
    // A key was pressed in the list (its Windows virtual-key code, 0 when it has none).
    void keyDown(int virtualKey);
    // A drag from the list ended; `accepted` when a target took it.
    void endDrag(bool accepted);
    // The folder was read (again, or another one): the entries are new, none selected.
    void entriesReplaced();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;

private:
    int read(const std::string& folder);

    FileListModel model_;
    Dragged dragged_;
    std::string directory_;
    QString mask_ = QStringLiteral("*.*");
    ListContent content_ = ListContent::Files;
};

}  // namespace quilvane
