#pragma once
// The walk of a folder tree that the naming, listing and counting commands share: each
// folder's entries in the order the file system returns them, names beginning with '.'
// skipped, each sub-folder walked completely where the listing meets it. A folder's
// entries are read before any of them is handled, so renaming them does not disturb
// the walk. Links to folders are not followed; the working directory is not touched.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/folder_listing.h"

namespace quilvane {

using FolderLister = std::function<int(const std::string& folder, std::vector<FolderEntry>& out)>;

// Calls `visitFile(folder, name)` for every file of the tree under `root`. Stops at the
// first folder that cannot be read and names it; what was done until then stays done.
// Exceptions thrown by `visitFile` end the walk and reach the caller.
std::optional<UnreadableFolder> walkTree(const std::string& root,
                                         const std::function<void(const std::string& folder,
                                                                  const std::string& name)>& visitFile,
                                         const FolderLister& list = listFolder);

}  // namespace quilvane
