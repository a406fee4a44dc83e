#include "cli/rename_run.h"

#include <csignal>
#include <map>

#include "rename/rename_record.h"
#include "cli/arguments.h"
#include "cli/output.h"
#include "platform/display_name.h"
#include "platform/paths.h"

namespace quilvane::cli {

RenameRun::RenameRun(bool dryRun, bool verbose, std::string root, bool withoutUndo)
    : dryRun_(dryRun), verbose_(verbose), root_(std::move(root)) {
    if (dryRun_) return;
    journal_.emplace(programStateFolder());
    log_.keepJournal(&*journal_);
    journal_->load();
    refuseWithoutJournal(*journal_, withoutUndo);
}

void refuseWithoutJournal(RenameJournal& journal, bool withoutUndo) {
    if (withoutUndo || journal.writable()) return;
    throw UsageError(say(journal.problem() + "；这一批改名将不能撤销，所以没有改动任何文件（加 --no-undo 仍然改名）",
                         "cannot write the rename journal: " + journal.problem() +
                             "; this batch could not be undone, so nothing was changed (add --no-undo to rename anyway)"));
}

SysCalls& RenameRun::sys() { return dryRun_ ? static_cast<SysCalls&>(simulated_) : realSysCalls(); }

HeldNameHandler RenameRun::keepHeldNames() {
    return [this](const std::string& from, const std::string& to) {
        if (sameEntry(from, to)) return HeldName::TryRename;
        held_.push_back({from, to});
        return HeldName::Skip;
    };
}

void RenameRun::begin(const std::string& command) {
    log_.startBatch();
    if (journal_) journal_->describe(command, root_);
    if (!dryRun_) catchInterruptions();
}

namespace {
std::atomic<bool> interrupted{false};
extern "C" void raiseInterruption(int) { interrupted.store(true); }
}  // namespace

const std::atomic<bool>& catchInterruptions() {
    struct sigaction action {};
    action.sa_handler = raiseInterruption;
    ::sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    return interrupted;
}

const std::atomic<bool>* RenameRun::interruption() const { return dryRun_ ? nullptr : &interrupted; }

void RenameRun::noteHeld(const std::vector<RenameRequest>& held) { held_.insert(held_.end(), held.begin(), held.end()); }

std::string RenameRun::relative(const std::string& path) const {
    const std::string prefix = root_ == "/" ? root_ : root_ + "/";
    return displayName(path.starts_with(prefix) ? path.substr(prefix.size()) : path);
}

int RenameRun::finish(const BatchOutcome& outcome) {
    if (dryRun_ || verbose_) {
        // A file parked under a temporary name (a swap, a cycle) is shown going straight
        // from its old name to its new one.
        std::map<std::string, std::string> parkedFrom;
        for (const RenameRecord& r : log_.records()) {
            const auto parked = parkedFrom.find(r.oldPath);
            const std::string from = parked == parkedFrom.end() ? r.oldPath : parked->second;
            if (isParkingName(r.newPath)) parkedFrom[r.newPath] = from;
            else printLine(relative(from) + " -> " + relative(r.newPath));
        }
    }
    for (const RenameRequest& r : held_)
        printProblem(say("名字已被其他文件占用，未改名：", "name taken by another file, not renamed: ") + relative(r.from) +
                     " -> " + relative(r.to));
    for (const RenameRequest& r : outcome.sameNameAsEarlier)
        printProblem(say("与本批中前面的文件要改的名字相同，未改名：", "same new name as an earlier file, not renamed: ") +
                     relative(r.from) + " -> " + relative(r.to));
    for (const RenameRequest& r : outcome.failed)
        printProblem(say("改名失败：", "rename failed: ") + relative(r.from) + " -> " + relative(r.to));
    for (const std::string& f : failures_) printProblem(f);
    if (journal_ && !journal_->problem().empty()) printProblem(journal_->problem());

    const std::size_t notRenamed = held_.size() + outcome.sameNameAsEarlier.size() + outcome.failed.size();
    const std::string counts = std::to_string(outcome.renamed);
    if (outcome.stopped) {
        printLine(say("已中断：已改名" + counts + "个；用 quilvane-cli undo 可以恢复",
                      "interrupted: renamed " + counts + "; quilvane-cli undo gives the names back"));
        return kInterrupted;
    }
    if (dryRun_) {
        printLine(say("试运行：将改名 " + counts + " 个，不能改名 " + std::to_string(notRenamed) + " 个，其他失败 " +
                          std::to_string(failures_.size()) + " 处（未改动任何文件）",
                      "dry run: would rename " + counts + ", could not rename " + std::to_string(notRenamed) +
                          ", other failures " + std::to_string(failures_.size()) + " (nothing was changed)"));
    } else {
        printLine(say("已改名 " + counts + " 个，未能改名 " + std::to_string(notRenamed) + " 个，其他失败 " +
                          std::to_string(failures_.size()) + " 处",
                      "renamed " + counts + ", not renamed " + std::to_string(notRenamed) + ", other failures " +
                          std::to_string(failures_.size())));
    }
    return notRenamed + failures_.size() == 0 ? kSuccess : kSomeFailed;
}

}  // namespace quilvane::cli
