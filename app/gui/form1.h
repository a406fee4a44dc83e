#pragma once
// The main window: folder tree and information panel on the left, the file list beside
// the editing area on the right, the settings groups at the bottom, the toolbar bands
// on top. Handlers keep their form names and stay short; the work is done in the core.
#include <QMainWindow>
#include <QPixmap>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>
#include <string>

#include "rename/simple_rename.h"
#include "rename/undo_list.h"
#include "editing/tag_fields.h"
#include "tags/tag_block.h"
#include "ui_TForm1.h"

#include <QStringList>

class QMenu;

namespace quilvane {

class FolderTreeModel;
class TForm5;
class TV1V2Dialog;
class TForm4;
class TSortForm;
class TRepairDialog;

// What MakeTree does with each file of the tree.
enum class WalkMode : std::uint8_t { Rename = 0, ListNames = 1, Count = 2, Id3Naming = 3 };

// What "ID3v1特定应用" puts on a found entry's line.
enum class SearchKind : std::uint8_t { Album, Year, EntryName };

// What a drop of a list entry on a folder of the tree does.
enum class DropKind : std::uint8_t { Copy = 0, Move = 1, Nothing = 2 };

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    Ui::TForm1 ui;
    QMenu* PopupMenu1 = nullptr;
    FolderTreeModel* FolderModel = nullptr;
    // The template chooser, created hidden with the window.
    TForm5* Form5 = nullptr;
    // The sorting dialog and the tag editor, created after this window.
    TSortForm* SortForm = nullptr;
    TV1V2Dialog* V1V2Dialog = nullptr;
    TForm4* Form4 = nullptr;
    // The repair of garbled tags and names, made when first opened.
    TRepairDialog* RepairDialog = nullptr;

    // Window state.
    NameStyle nameStyle() const { return NameStyle_; }
    std::int32_t renamedCount() const { return RenamedCount; }
    const std::string& sepChar() const { return SepChar; }
    const QStringList& editBackup() const { return EditBackup; }
    // A sorting run journals its moves in this window's log, from its own thread: the log
    // is its alone until the run ends.
    quilvane::UndoList* beginSortingBatch(const std::string& searchFolder);
    void endSortingBatch();
    void moveJournaled(const std::string& source, const std::string& destination);
    const quilvane::UndoList& undoList() const { return UndoList; }
    const std::string& selectedPath() const { return SelectedPath; }
    DropKind dropAction() const { return DropAction; }

    // Memo1's lines, as the editor holds them and as UTF-8 for the core.
    QStringList memoLines() const;
    void setMemoLines(const QStringList& lines);
    std::vector<std::string> editLines() const;
    void setEditLines(const std::vector<std::string>& lines);
    // The backup step of the editing commands: the lines as they are, for "撤销修改".
    void takeEditBackup();
    void takeEditBackup(const QStringList& lines);

    // Renames one file of the current folder by the simple naming rule.
    void ReName(const std::string& path);
    // Walks the list folder's tree; false when a folder could not be read or a file
    // could not be opened (the message has been shown).
    bool MakeTree(WalkMode mode);
    // The rename step of a list click with "单击重命名" checked; false when no naming
    // format is chosen (the message has been shown).
    bool renameClickedFile(const std::string& path);

    // The last 128 bytes of a file; throws FileError.
    TagBlock AbtainId3Tag(const std::string& path);
    // Writes the block as the file's tag and counts the file.
    void ChangeMP3ID(const std::string& path, const TagBlock& block);
    // The list-click steps of the editing area: the clicked entry's name into its line,
    // and the caret to that line.
    void copyClickedName(int index, const QString& name);
    void positionEditorAt(int index);
    // Selects the folder in the tree, which makes it the current folder.
    void selectFolderInTree(const std::string& folder);
    // Reads the folder (and its parents) afresh in the tree, after the program changed it.
    void rereadTreeFolder(const std::string& folder);
    // Selects the list entry of the editing area's caret line (not a click).
    void SelecteInlist();
    // One ID3v1 field of every entry into the editing area, and the lines back.
    void ShowID3ToMemo(TagFieldKind kind);
    void ChangeID3WithMemo(TagFieldKind kind, const QString& caption);
    void SearchSomeFile(SearchKind kind);
    // Collects the full paths of every file of the folder tree.
    bool FilesList(const std::string& folder, std::vector<std::string>& list);
    // A drag over the tree is taken only from the file list; a drop at `at` (in the
    // tree's viewport) copies or moves the list's selected entry into that folder.
    bool ShellTreeView1DragOver(const QObject* source) const;
    // A drop of the list's selected entry onto the tree at `at`; the window's own drops
    // pass what the drag carried from its start.
    void ShellTreeView1DragDrop(const QPoint& at);
    void ShellTreeView1DragDrop(const QPoint& at, const TFileListBox::Dragged& dragged);
    // Asks "%s %s to %s?" and carries out "Move", "Copy" or "Rename"; throws TransferError.
    void ConfirmChange(const char* operation, const std::string& source, const std::string& destination);
    void FileListBox1EndDrag(bool accepted);
    // A drag over the editing area is taken only from the file list.
    bool Memo1DragOver(const QObject* source) const;
    void Memo1DragDrop();
    void Memo1DblClick();
    // Where the help is: next to the program, or in the installed data folder; empty
    // when it is nowhere.
    static std::string helpFile();
    static QPixmap notePicture(int size);
    // The running statistics workers started by list clicks.
    int runningStatistics() const { return runningStatistics_; }

public slots:
    void N1Click();
    void N14Click();
    void BitBtn4Click();
    void ID31Click();
    void ID32Click();
    void BitBtn5Click();
    void N50Click();
    void N54Click();
    void N41Click();
    void N3Click();
    void N47Click();
    void N45Click();
    void N23Click();
    void V1V21Click();
    void N40Click();
    // "修复乱码标签和文件名…": the repair dialog on the list's folder.
    void N55Click();
    void N24Click();
    void N25Click();
    void N26Click();
    void N27Click();
    void N28Click();
    void N29Click();
    void N30Click();
    void N31Click();
    void N32Click();
    void N33Click();
    void N34Click();
    void N35Click();
    void N39Click();
    void MP32Click();
    void MP33Click();
    void N37Click();
    void Button1Click();
    void CheckBox1Click();
    void Edit3Change();
    void CheckBox4Click();
    void Edit5Change();
    void CheckBox2Click();
    void Edit4Change();
    void Edit4Exit();
    void RadioGroup1Click();
    void RadioGroup2Click();
    void RadioGroup3Click();
    void ShellTreeView1Change();
    void FileListBox1Click();
    void FileListBox1DblClick();
    void FileListBox1KeyDown(int virtualKey);
    void Button2Click();
    void Button3Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void Image2DblClick();
    void N42Click();
    void N52Click();
    void N53Click();
    void N8Click();
    void N2Click();
    void N5Click();
    void N6Click();
    void N7Click();
    void N18Click();
    void N21Click();
    void N43Click();
    void N11Click();
    void N12Click();
    void N13Click();
    void N15Click();
    void N16Click();
    void N17Click();
    void N19Click();
    void N20Click();
    void N22Click();
    void N36Click();
    void N38Click();
    void N48Click();
    void N49Click();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void Panel2Resize();
    void connectHandlers();
    void setUpFolderTree();
    void setUpFilter();
    void rereadExpandedFolders(const QModelIndex& parent);
    // Makes the list's folder the tree's current item again, without touching the list.
    void keepTreeOnListFolder();
    void returnToFolder(const std::string& folder);
    void dropFolder(const std::string& source, const std::string& target, bool move);
    void setUpPopupMenu();
    void setUpStatusBar();
    void setUpInformationPanel();
    void setUpRows();
    void setUpAboutPicture();
    void showStatus(const QString& text);
    void Panel7Resize();
    void setUpLayoutRules();
    void showFileInformation(const std::string& path, const QString& name);
    bool showFolderInformation(const std::string& path, const QString& name);
    void setAttributeBoxes(std::uint16_t word);
    void showPreview(const std::string& path);
    void showTagPanel(const std::string& path);
    void showPicture(const std::string& path);
    void hidePreview();
    // After the list was read again: the panel forgets an entry the list no longer has
    // (moved, deleted, renamed, or the list shows another folder).
    void forgetVanishedEntry();
    void clearInformation();
    // The tag panel's boxes with the ID3v1 fields they show.
    std::array<std::pair<QLineEdit*, TagField>, 5> tagPanelFields() const;
    std::string entryPath(bool allowDotEntries) const;
    void startStatistics(const std::string& path);
    void showCountAnd(const QString& text);
    bool namingFormatChosen();
    SimpleNaming simpleNaming() const;
    RenameSession renameSession();
    // Makes a command's planned renames, counting them in RenamedCount; `progressText`
    // (when given) is shown with the count every ten files. Names files that wanted a name
    // an earlier file of the batch took.
    void runBatch(RenameBatch& batch, const HeldNameHandler& held, const QString& progressText = {});
    HeldNameHandler simpleNamingHeld();
    static HeldNameHandler skipHeldNames();
    // A batch left in the journal by an earlier run can still be undone.
    void offerJournalUndo();
    void reportJournalProblem();
    // Whether a naming command may start: its journal can be written, or the user accepts
    // a batch that cannot be undone after the program closes.
    bool mayStartRenaming();

    void enableUndo();
    // The steps "全部命名" and "用ID3v1重命名（全部）" share: question, walk, undo enabled.
    bool nameWholeTree(WalkMode mode);
    void connectEditingHandlers();
    void connectTagFieldHandlers();
    void transformLines(const std::function<void(std::vector<std::string>&)>& transform, bool backup = true);
    int caretLine() const;

    NameStyle NameStyle_ = NameStyle::None;
    std::int32_t RenamedCount = 0;
    std::string SepChar = "-";
    QStringList EditBackup;
    RenameJournal journal_{programStateFolder()};
    QString reportedJournalProblem_;
    bool journalAsked_ = false;
    bool sorting_ = false;  // a sorting run has the undo log  // this batch was started without a journal, the user agreeing
    // While above zero the tree's current item changes by itself (rows leaving, or being put
    // back on the list's folder): the list stays where it is.
    int treeRowsLeaving_ = 0;
    quilvane::UndoList UndoList;
    std::string SelectedPath;
    DropKind DropAction = DropKind::Nothing;
    bool shown_ = false;
    int runningStatistics_ = 0;
    std::string tagPanelPath_;  // the file whose ID3v1 tag the panel shows
    std::string shownPath_;     // the entry whose information the panel shows
    TagBlock tagPanelShown_;    // its last 128 bytes as shown, and the genre list's choice then
    int tagPanelGenre_ = -1;
};

}  // namespace quilvane
