#pragma once
#include <string>
#include <vector>

namespace quilvane {

// One rename as the undo log keeps it: the entry now at `newPath` was at `oldPath`.
struct RenameRecord {
    std::string newPath;
    std::string oldPath;
    friend bool operator==(const RenameRecord&, const RenameRecord&) = default;
};

// A batch parks one file of each cycle of names under a name of this form ("….quilvane-swap-…")
// for the length of the cycle.
bool isParkingName(const std::string& path);
// How many files a logged batch renamed (a parked file counts once).
std::size_t filesRenamedIn(const std::vector<RenameRecord>& records);

}  // namespace quilvane
