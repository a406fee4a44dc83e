#include "tageditor/repair_scan.h"

#include "platform/display_name.h"
#include "platform/file_error.h"
#include "platform/folder_listing.h"
#include "platform/paths.h"
#include "platform/system_reason.h"
#include "tageditor/track_rows.h"

namespace quilvane {
namespace {

class RepairWalk {
public:
    RepairWalk(const std::function<void(std::vector<RepairFinding>&&)>& found,
               const std::function<void(int)>& progress, const std::atomic<bool>& stop, bool tree)
        : found_(found), progress_(progress), stop_(stop), tree_(tree) {}

    void walk(const std::string& folder) {
        std::vector<FolderEntry> entries;
        if (const int error = listFolder(folder, entries)) {
            result.unreadable.push_back(displayName(folder) + "：" + systemReason(error));
            return;
        }
        for (const FolderEntry& e : entries) {
            if (stop_.load()) {
                result.stopped = true;
                return;
            }
            const std::string path = joinPath(folder, e.name);
            if (e.isFolder()) {
                if (auto name = nameFindingOf(path, true); !name.empty()) found_(std::move(name));
                if (tree_ && e.isDescendable()) walk(path);
                continue;
            }
            visitFile(path, e);
        }
    }

    RepairScanResult result;

private:
    void visitFile(const std::string& path, const FolderEntry& e) {
        std::vector<RepairFinding> findings;
        if (e.kind == EntryKind::File && isListedMp3(e.name)) {
            try {
                findings = findingsOf(path, OpenFile::Known::ListedAsRegularFile);
            } catch (const FileError& error) {
                result.unreadable.push_back(error.what());
                findings = nameFindingOf(path, false);
            }
        } else {
            findings = nameFindingOf(path, false);
        }
        if (!findings.empty()) found_(std::move(findings));
        ++result.files;
        if (progress_) progress_(result.files);
    }

    const std::function<void(std::vector<RepairFinding>&&)>& found_;
    const std::function<void(int)>& progress_;
    const std::atomic<bool>& stop_;
    bool tree_;
};

}  // namespace

RepairScanResult scanForRepair(const std::string& folder, bool tree,
                               const std::function<void(std::vector<RepairFinding>&&)>& found,
                               const std::function<void(int)>& progress, const std::atomic<bool>& stop) {
    RepairWalk walk(found, progress, stop, tree);
    walk.walk(folder);
    return walk.result;
}

}  // namespace quilvane
