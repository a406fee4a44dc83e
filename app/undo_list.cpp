#include "app/undo_list.h"

#include "platform/rename_noreplace.h"

namespace quilvane {

bool renameAndLog(const std::string& from, const std::string& to, UndoList& log,
                  std::int32_t& renamedCount, SysCalls& sys) {
    if (renameWithoutReplacing(from, to, sys) != 0) return false;
    log.append(to, from);
    ++renamedCount;
    return true;
}

int undoRenames(UndoList& log, const std::function<void(int)>& progress, SysCalls& sys) {
    const auto& records = log.records();
    const int count = static_cast<int>(records.size());
    for (int k = 0; k < count; ++k) {
        const RenameRecord& record = records[static_cast<std::size_t>(count - 1 - k)];
        renameWithoutReplacing(record.newPath, record.oldPath, sys);
        if (k % 9 == 0 && progress) progress(k);
    }
    log.clear();
    return count;
}

}  // namespace quilvane
