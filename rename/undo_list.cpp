#include "rename/undo_list.h"

#include <cerrno>

#include "platform/display_name.h"
#include "platform/paths.h"
#include "platform/rename_noreplace.h"

namespace quilvane {

bool moveAndLog(const std::string& from, const std::string& to, UndoList* log, const std::function<bool()>& move,
                SysCalls& sys) {
    if (!log) return move();
    FileIdentity file{};
    sys.identify(from, file);
    log->announce({{to, from, file}});
    const bool moved = move();
    if (moved) log->append(to, from, file);
    return moved;
}

bool renameAndLog(const std::string& from, const std::string& to, UndoList& log,
                  std::int32_t& renamedCount, SysCalls& sys) {
    const bool renamed = moveAndLog(from, to, &log, [&] { return renameWithoutReplacing(from, to, sys) == 0; }, sys);
    if (renamed) ++renamedCount;
    log.settle();
    return renamed;
}

namespace {

// An undo that was interrupted gave this file its old name already: it is there, and
// not at its new name.
bool alreadyBack(const RenameRecord& record, SysCalls& sys) {
    if (!record.knowsFile()) return false;
    FileIdentity at{};
    if (sys.identify(record.newPath, at) == 0 && at == record.file) return false;
    return sys.identify(record.oldPath, at) == 0 && at == record.file;
}

// The file back at its old name; a folder that went away since (a sorted folder emptied
// and removed) is made again for it.
bool giveBack(const RenameRecord& record, SysCalls& sys) {
    const int rc = renameWithoutReplacing(record.newPath, record.oldPath, sys);
    if (rc == 0) return true;
    const std::string folder = folderOf(record.oldPath);
    if (rc != ENOENT || &sys != &realSysCalls() || folder.empty() || pathExists(folder) || !pathExists(record.newPath))
        return false;
    return createFolders(folder) == 0 && renameWithoutReplacing(record.newPath, record.oldPath, sys) == 0;
}

}  // namespace

UndoResult undoRenames(UndoList& log, const std::function<void(int)>& progress, SysCalls& sys,
                       const std::atomic<bool>* stop) {
    const auto& records = log.records();
    const int count = static_cast<int>(records.size());
    UndoResult result;
    int tried = 0;
    bool parked = false;  // a file of a cycle waits under a parking name: not left there
    for (int k = 0; k < count; ++k, ++tried) {
        if (!parked && stop && stop->load()) {
            result.stopped = true;
            break;
        }
        const RenameRecord& record = records[static_cast<std::size_t>(count - 1 - k)];
        if (isParkingName(record.oldPath)) parked = true;
        if (isParkingName(record.newPath)) parked = false;
        // A file parked during a cycle of names counts once, when it gets its name back.
        const int counted = isParkingName(record.oldPath) ? 0 : 1;
        if (alreadyBack(record, sys) || giveBack(record, sys)) result.restored += counted;
        else result.failed.push_back(record);
        if (k % 9 == 0 && progress) progress(k);
    }
    // What could not be taken back, or was not tried, stays for a later try, in the order
    // it was made.
    std::vector<RenameRecord> left(records.begin(), records.begin() + (count - tried));
    left.insert(left.end(), result.failed.rbegin(), result.failed.rend());
    if (left.empty()) log.clear();
    else log.keepOnly(std::move(left));
    return result;
}

std::string unrestoredNamesText(const std::vector<RenameRecord>& failed) {
    constexpr std::size_t kShown = 20;
    std::string text = std::to_string(failed.size()) + "个文件未能恢复原名（原名已被占用或文件已不在），仍保留现名：";
    for (std::size_t i = 0; i < failed.size() && i < kShown; ++i)
        text += "\n" + displayName(failed[i].newPath) + "（原名 " + displayName(fileNameOf(failed[i].oldPath)) + "）";
    if (failed.size() > kShown) text += "\n……";
    return text;
}

}  // namespace quilvane
