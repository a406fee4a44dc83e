#pragma once
// Copy, move and delete of whole folder trees. Entries whose names begin with '.' are
// left out, as in every walk of the program. Symbolic links to folders are never
// followed: a link is copied as a link, moved as itself and deleted as itself.
#include <functional>
#include <string>

#include "files/transfer_error.h"
#include "rename/undo_list.h"

namespace quilvane {

// Copies the folder `source` into the folder `target` (as target/<name of source>,
// created with its missing parents). Refuses, before writing anything, a target that is
// the source or lies inside it (links in either path resolved). An entry that exists in
// the target already is left as it is and counted: returns the number so skipped. The
// first failure ends the copy (TransferError). A `source` that is a link is copied as a
// link.
int CopyFolderTree(const std::string& source, const std::string& target);

// Moves the folder `source` into `target` entry by entry (read-only files are made
// writable first), then removes `source` when it is empty. Entries whose names are
// taken in the target stay where they are and are counted, as for the copy. A `source`
// that is a link is moved as itself. Each file moved goes to `log` (and its journal) as
// a rename, announced first, so that the move can be undone.
int MoveFolderTree(const std::string& source, const std::string& target, UndoList* log = nullptr);

// Deletes the folder tree (a link to a folder: the link only), reporting each step: "已删除文件：" + name, name + "删除不成功",
// and at the end "已删除文件夹：" + folder (as given) or folder + "删除不成功".
// Throws TransferError when a folder cannot be read.
void deleteEntireDir(const std::string& folder, const std::function<void(const std::string&)>& report);

}  // namespace quilvane
