#pragma once
// Carries out the checked findings: legacy and garbled ID3v2 frames rewritten in UTF-16
// in their tag's version, ID3v1 texts that no ID3v2 frame carried added to the ID3v2 tag
// (a file without one gets a version 2.3 tag with all its ID3v1 texts), names renamed to
// their UTF-8 form without replacing anything and logged for 撤销更名. ID3v1 tags stay as
// they are. Every frame not repaired keeps its bytes.
#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "rename/undo_list.h"
#include "tageditor/repair_findings.h"

namespace quilvane {

struct RepairReport {
    int filesRepaired = 0;  // files (and folders) with at least one repair made
    int applied = 0;        // findings carried out
    int left = 0;           // findings not checked, left as they are
    std::vector<std::string> failures;  // "path：why", file by file

    std::string text() const;
};

// `progress(done, total)` after each file. A stop request ends it between files; what
// was repaired stays repaired.
RepairReport applyRepairs(const std::vector<RepairFinding>& findings, UndoList& log,
                          const std::function<void(int done, int total)>& progress = {},
                          const std::atomic<bool>* stop = nullptr);

// The report and every finding with its choice, one per line, written whole (a file that
// cannot be written is left as it was). False when it could not be written.
bool writeRepairReport(const std::string& path, const RepairReport& report, const std::vector<RepairFinding>& findings);

}  // namespace quilvane
