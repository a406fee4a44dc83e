#include "naming/tree_walk.h"

#include "platform/paths.h"

namespace quilvane {

std::optional<UnreadableFolder> walkTree(const std::string& root,
                                         const std::function<void(const std::string&, const std::string&)>& visitFile,
                                         const FolderLister& list) {
    std::vector<FolderEntry> entries;
    if (const int rc = list(root, entries); rc != 0) return UnreadableFolder{root, rc};
    for (const FolderEntry& entry : entries) {
        if (entry.kind == EntryKind::File) {
            visitFile(root, entry.name);
        } else if (entry.isDescendable()) {
            if (auto failure = walkTree(joinPath(root, entry.name), visitFile, list)) return failure;
        }
    }
    return std::nullopt;
}

}  // namespace quilvane
