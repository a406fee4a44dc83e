#pragma once
#include <string>
#include <vector>

#include "platform/syscalls.h"

namespace quilvane {

// One rename as the undo log keeps it: the entry now at `newPath` was at `oldPath`.
// `file` is the entry's device and inode when known (zero otherwise): what proves, after
// a crash, which renames were made, and which an interrupted undo made already.
struct RenameRecord {
    std::string newPath;
    std::string oldPath;
    FileIdentity file{};
    bool knowsFile() const { return file.inode != 0; }
    // The same rename, whatever is known of the file.
    friend bool operator==(const RenameRecord& a, const RenameRecord& b) {
        return a.newPath == b.newPath && a.oldPath == b.oldPath;
    }
};

// A batch parks one file of each cycle of names under a name of this form ("….quilvane-swap-…")
// for the length of the cycle.
bool isParkingName(const std::string& path);
// How many files a logged batch renamed (a parked file counts once).
std::size_t filesRenamedIn(const std::vector<RenameRecord>& records);

}  // namespace quilvane
