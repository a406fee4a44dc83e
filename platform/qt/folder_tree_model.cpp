#include "platform/qt/folder_tree_model.h"

#include <QApplication>
#include <QStyle>
#include <algorithm>

#include "platform/folder_listing.h"
#include "platform/list_order.h"
#include "platform/paths.h"
#include "platform/qt/qtext.h"

namespace quilvane {

struct FolderTreeModel::Node {
    std::string path;
    QString text;
    Node* parent = nullptr;
    std::vector<std::unique_ptr<Node>> children;
    int row = 0;  // its place among its parent's children
    bool read = false;

    void numberChildren() {
        for (std::size_t i = 0; i < children.size(); ++i) children[i]->row = static_cast<int>(i);
    }
};

namespace {

std::vector<std::string> subFolderNames(const std::string& folder) {
    std::vector<std::string> names;
    forEachEntry(folder, [&names](const FolderEntry& e) {
        if (e.isFolder()) names.push_back(e.name);
        return true;
    });
    sortInListOrder(names);
    return names;
}

}  // namespace

FolderTreeModel::FolderTreeModel(QObject* parent) : QAbstractItemModel(parent), top_(std::make_unique<Node>()) {
    auto root = std::make_unique<Node>();
    root->path = "/";
    root->text = QStringLiteral("/");
    root->parent = top_.get();
    top_->children.push_back(std::move(root));
    top_->read = true;
    folderIcon_ = QApplication::style()->standardIcon(QStyle::SP_DirIcon);
}

FolderTreeModel::~FolderTreeModel() = default;

FolderTreeModel::Node* FolderTreeModel::nodeOf(const QModelIndex& index) const {
    return index.isValid() ? static_cast<Node*>(index.internalPointer()) : top_.get();
}

QModelIndex FolderTreeModel::indexOfNode(Node* node) const {
    if (node == nullptr || node == top_.get()) return {};
    return createIndex(node->row, 0, node);
}

QModelIndex FolderTreeModel::index(int row, int column, const QModelIndex& parent) const {
    Node* node = nodeOf(parent);
    if (column != 0 || row < 0 || row >= static_cast<int>(node->children.size())) return {};
    return createIndex(row, 0, node->children[static_cast<std::size_t>(row)].get());
}

QModelIndex FolderTreeModel::parent(const QModelIndex& child) const {
    return child.isValid() ? indexOfNode(nodeOf(child)->parent) : QModelIndex();
}

int FolderTreeModel::rowCount(const QModelIndex& parent) const {
    return static_cast<int>(nodeOf(parent)->children.size());
}

int FolderTreeModel::columnCount(const QModelIndex&) const { return 1; }

QVariant FolderTreeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role == Qt::DisplayRole) return nodeOf(index)->text;
    if (role == Qt::DecorationRole) return folderIcon_;
    return {};
}

// A folder not read yet may have sub-folders; reading every shown folder's children
// just to draw an arrow would read the whole disk.
bool FolderTreeModel::hasChildren(const QModelIndex& parent) const {
    const Node* node = nodeOf(parent);
    return !node->read || !node->children.empty();
}

bool FolderTreeModel::canFetchMore(const QModelIndex& parent) const { return !nodeOf(parent)->read; }

void FolderTreeModel::fetchMore(const QModelIndex& parent) { readChildren(nodeOf(parent), parent); }

void FolderTreeModel::readChildren(Node* node, const QModelIndex& index) {
    const bool first = !node->read;
    node->read = true;
    const std::vector<std::string> names = subFolderNames(node->path);
    // Folders that are gone leave; the others keep their nodes and sub-trees.
    for (int row = static_cast<int>(node->children.size()) - 1; row >= 0; --row) {
        const std::string& name = fileNameOf(node->children[static_cast<std::size_t>(row)]->path);
        if (std::find(names.begin(), names.end(), name) != names.end()) continue;
        beginRemoveRows(index, row, row);
        node->children.erase(node->children.begin() + row);
        node->numberChildren();
        endRemoveRows();
    }
    const auto makeChild = [node](const std::string& name) {
        auto child = std::make_unique<Node>();
        child->path = joinPath(node->path, name);
        child->text = displayQ(name);
        child->parent = node;
        return child;
    };
    if (node->children.empty() && !names.empty()) {
        beginInsertRows(index, 0, static_cast<int>(names.size()) - 1);
        for (const std::string& name : names) node->children.push_back(makeChild(name));
        node->numberChildren();
        endInsertRows();
        return;
    }
    // New folders come in at their place in list order.
    std::size_t row = 0;
    for (const std::string& name : names) {
        if (row < node->children.size() && fileNameOf(node->children[row]->path) == name) {
            ++row;
            continue;
        }
        beginInsertRows(index, static_cast<int>(row), static_cast<int>(row));
        node->children.insert(node->children.begin() + static_cast<std::ptrdiff_t>(row), makeChild(name));
        node->numberChildren();
        endInsertRows();
        ++row;
    }
    // A folder that turned out empty loses its arrow.
    if (first && node->children.empty() && index.isValid()) emit dataChanged(index, index);
}

QModelIndex FolderTreeModel::rootFolder() const { return index(0, 0); }

std::string FolderTreeModel::pathOf(const QModelIndex& index) const {
    return index.isValid() ? nodeOf(index)->path : std::string();
}

QModelIndex FolderTreeModel::indexOf(const std::string& folder) {
    if (folder.empty() || folder.front() != '/') return {};
    QModelIndex current = rootFolder();
    std::size_t start = 1;
    while (start < folder.size()) {
        const std::size_t end = std::min(folder.find('/', start), folder.size());
        const std::string name = folder.substr(start, end - start);
        start = end + 1;
        if (name.empty()) continue;
        Node* node = nodeOf(current);
        const auto find = [&] {
            return std::find_if(node->children.begin(), node->children.end(),
                                [&name](const auto& child) { return fileNameOf(child->path) == name; });
        };
        if (!node->read) readChildren(node, current);
        auto found = find();
        // A folder made since its parent was read: read the parent again.
        if (found == node->children.end()) {
            readChildren(node, current);
            found = find();
        }
        if (found == node->children.end()) return {};
        current = indexOfNode(found->get());
    }
    return current;
}

void FolderTreeModel::reread(const QModelIndex& index) {
    if (index.isValid()) readChildren(nodeOf(index), index);
}

void FolderTreeModel::rereadPath(const std::string& folder) {
    for (std::string path = folder; !path.empty(); path = path == "/" ? std::string() : folderOf(path)) {
        const QModelIndex index = indexOf(path);
        if (index.isValid()) reread(index);
    }
}

}  // namespace quilvane
