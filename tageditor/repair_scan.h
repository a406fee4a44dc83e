#pragma once
// The walk of a folder (and, when asked, its sub-folders) that gathers what needs repair:
// every MP3 file's tags and name, the names of other files and of sub-folders.
#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "tageditor/repair_findings.h"

namespace quilvane {

struct RepairScanResult {
    int files = 0;                          // files looked at
    std::vector<std::string> unreadable;    // files and folders that could not be read, and why
    bool stopped = false;
};

// `found` receives each file's findings as the walk meets them, `progress` the number of
// files looked at so far. A stop request ends the walk between two files.
RepairScanResult scanForRepair(const std::string& folder, bool tree,
                               const std::function<void(std::vector<RepairFinding>&&)>& found,
                               const std::function<void(int files)>& progress, const std::atomic<bool>& stop);

}  // namespace quilvane
