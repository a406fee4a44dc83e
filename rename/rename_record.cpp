#include "rename/rename_record.h"

#include <algorithm>

#include "platform/paths.h"

namespace quilvane {

bool isParkingName(const std::string& path) { return fileNameOf(path).starts_with(".quilvane-swap-"); }

std::size_t filesRenamedIn(const std::vector<RenameRecord>& records) {
    return static_cast<std::size_t>(
        std::count_if(records.begin(), records.end(), [](const RenameRecord& r) { return !isParkingName(r.newPath); }));
}

}  // namespace quilvane
