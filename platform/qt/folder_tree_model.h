#pragma once
// The folder tree: every folder of the file system from "/", read when it is first
// shown and read again when it is expanded or when the program changed it, so folders
// made by a sort, a copy or another program appear. Nothing watches the disk. Each node
// keeps its folder's own bytes, so folders whose names are not UTF-8 show and open.
#include <QAbstractItemModel>
#include <QIcon>
#include <memory>
#include <string>
#include <vector>

namespace quilvane {

class FolderTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit FolderTreeModel(QObject* parent = nullptr);
    ~FolderTreeModel() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    // The node of the folder "/", the one top row.
    QModelIndex rootFolder() const;
    // The folder's bytes; empty for an invalid index.
    std::string pathOf(const QModelIndex& index) const;
    // The node of an absolute folder path, reading the folders on the way; invalid when
    // a part of the path is not a folder.
    QModelIndex indexOf(const std::string& folder);
    // Reads the folder's sub-folders afresh: new ones appear, vanished ones go, the
    // others keep their own sub-trees.
    void reread(const QModelIndex& index);
    // reread() for the folder of this path and each of its parents that the tree holds.
    void rereadPath(const std::string& folder);

private:
    struct Node;
    Node* nodeOf(const QModelIndex& index) const;
    QModelIndex indexOfNode(Node* node) const;
    void readChildren(Node* node, const QModelIndex& index);

    std::unique_ptr<Node> top_;  // holds "/" as its one child
    QIcon folderIcon_;
};

}  // namespace quilvane
