#include "rename/rename_batch.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "platform/display_name.h"
#include "platform/paths.h"
#include "platform/rename_noreplace.h"

namespace quilvane {
namespace {

// Renames announced to the journal (and synced) at a time.
constexpr std::size_t kAnnouncedAtOnce = 100;

enum class Fate : std::uint8_t {
    Open,       // not looked at yet
    Deciding,   // on the path being looked at
    Moves,      // will be renamed
    Stays,      // keeps its name
    Gone,       // deleted by the held-name handler
    Unchanged,  // its new name is its name
    SameName,   // an earlier file of the batch asked for its new name
};

bool frees(Fate f) { return f == Fate::Moves || f == Fate::Gone; }

std::string parkingNameBeside(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    return joinPath(folderOf(path), ".quilvane-swap-" + std::to_string(::getpid()) + "-" +
                                        std::to_string(counter++));
}

class Planner {
public:
    Planner(const std::vector<RenameRequest>& requests, const HeldNameHandler& held, SysCalls& sys, BatchOutcome& outcome)
        : requests_(requests), held_(held), sys_(sys), outcome_(outcome), fate_(requests.size(), Fate::Open) {}

    // Which files move, in the command's order; held names are asked about here.
    void decide() {
        claimNames();
        for (std::size_t i = 0; i < requests_.size(); ++i)
            if (fate_[i] == Fate::Open) decideFrom(i);
    }

    enum class Kind : std::uint8_t { Move, Park, Unpark };
    struct Step {
        std::size_t request;
        Kind kind;
    };

    // The order of the renames: each chain from its far end, each cycle through a parking name.
    std::vector<Step> schedule() {
        std::vector<Step> steps;
        steps.reserve(requests_.size());
        std::vector<char> scheduled(requests_.size(), 0);
        std::vector<std::size_t> chain;
        for (std::size_t i = 0; i < requests_.size(); ++i) {
            if (fate_[i] != Fate::Moves || scheduled[i]) continue;
            chain.assign(1, i);
            scheduled[i] = 1;
            bool cycle = false;
            for (;;) {
                const auto next = blockerOf(chain.back());
                if (!next || fate_[*next] != Fate::Moves) break;
                if (*next == i) {
                    cycle = true;
                    break;
                }
                if (scheduled[*next]) break;  // already made by then: its old name is free
                scheduled[*next] = 1;
                chain.push_back(*next);
            }
            if (cycle || (chain.size() == 1 && heldBySelf_.contains(i))) {
                parking_[i] = parkingNameBeside(requests_[i].from);
                steps.push_back({i, Kind::Park});
                for (std::size_t k = chain.size() - 1; k >= 1; --k) steps.push_back({chain[k], Kind::Move});
                steps.push_back({i, Kind::Unpark});
            } else {
                for (std::size_t k = chain.size(); k-- > 0;) steps.push_back({chain[k], Kind::Move});
            }
        }
        return steps;
    }

    const std::string& fromOf(const Step& s) const {
        return s.kind == Kind::Unpark ? parking_.at(s.request) : requests_[s.request].from;
    }
    const std::string& toOf(const Step& s) const {
        return s.kind == Kind::Park ? parking_.at(s.request) : requests_[s.request].to;
    }
    void repark(std::size_t request) { parking_[request] = parkingNameBeside(requests_[request].from); }

private:
    // The first file asking for a name gets it; a file can be the source of one rename only.
    void claimNames() {
        std::unordered_map<std::string_view, std::size_t> claimed;
        claimed.reserve(requests_.size());
        sourceOf_.reserve(requests_.size());
        for (std::size_t i = 0; i < requests_.size(); ++i) {
            const RenameRequest& r = requests_[i];
            if (r.to == r.from) {
                fate_[i] = Fate::Unchanged;
                continue;
            }
            if (claimed.contains(r.to) || sourceOf_.contains(r.from)) {
                fate_[i] = Fate::SameName;
                outcome_.sameNameAsEarlier.push_back(r);
                continue;
            }
            claimed.emplace(r.to, i);
            sourceOf_.emplace(r.from, i);
        }
    }

    // The file of the batch whose present name this request wants.
    std::optional<std::size_t> blockerOf(std::size_t i) const {
        const auto found = sourceOf_.find(requests_[i].to);
        if (found == sourceOf_.end() || found->second == i) return std::nullopt;
        return found->second;
    }

    Fate askAboutHeld(std::size_t i) {
        const RenameRequest& r = requests_[i];
        switch (held_(r.from, r.to)) {
        case HeldName::TryRename: return Fate::Moves;
        case HeldName::SourceDeleted: {
            FileIdentity id;
            if (sys_.identify(r.from, id) == 0) return Fate::Stays;
            ++outcome_.deleted;
            return Fate::Gone;
        }
        case HeldName::Skip: break;
        }
        return Fate::Stays;
    }

    // A name no file of the batch holds: free, the file's own other spelling, or held by
    // an entry outside the batch.
    Fate decideOutside(std::size_t i) {
        const RenameRequest& r = requests_[i];
        FileIdentity id;
        if (sys_.identify(r.to, id) != 0) return Fate::Moves;
        if (!sameEntry(r.from, r.to)) return askAboutHeld(i);
        // The name is the file's own in other letters (a mount that ignores case): it
        // goes through a parking name like a cycle of one, both steps journaled.
        heldBySelf_.insert(i);
        return Fate::Moves;
    }

    // Follows the names wanted from file to file until one is decided, then decides the
    // path backwards: a file moves when the one holding its new name frees it.
    void decideFrom(std::size_t first) {
        std::vector<std::size_t> path{first};
        fate_[first] = Fate::Deciding;
        for (;;) {
            const std::size_t current = path.back();
            const auto holder = blockerOf(current);
            if (!holder) {
                fate_[current] = decideOutside(current);
                break;
            }
            const Fate f = fate_[*holder];
            if (f == Fate::Open) {
                fate_[*holder] = Fate::Deciding;
                path.push_back(*holder);
                continue;
            }
            // Back at the first file: a cycle, which moves as a whole.
            if (f == Fate::Deciding) fate_[current] = Fate::Moves;
            else fate_[current] = frees(f) ? Fate::Moves : askAboutHeld(current);
            break;
        }
        for (std::size_t k = path.size() - 1; k-- > 0;)
            fate_[path[k]] = frees(fate_[path[k + 1]]) ? Fate::Moves : askAboutHeld(path[k]);
    }

    const std::vector<RenameRequest>& requests_;
    const HeldNameHandler& held_;
    SysCalls& sys_;
    BatchOutcome& outcome_;
    std::vector<Fate> fate_;
    std::unordered_map<std::string_view, std::size_t> sourceOf_;
    std::unordered_map<std::size_t, std::string> parking_;
    std::unordered_set<std::size_t> heldBySelf_;  // new names the files hold already
};

}  // namespace

BatchOutcome RenameBatch::run(UndoList& log, const HeldNameHandler& held, const std::function<void(int)>& progress,
                              SysCalls& sys, const std::atomic<bool>* stop) {
    BatchOutcome outcome;
    Planner planner(requests_, held, sys, outcome);
    planner.decide();
    const std::vector<Planner::Step> steps = planner.schedule();

    std::vector<char> parkFailed(requests_.size(), 0);
    // Each moving file's identity, taken before any rename: the journal proves with it
    // which renames were made should the program die part way.
    std::vector<FileIdentity> files(requests_.size());
    for (const Planner::Step& step : steps)
        if (step.kind != Planner::Kind::Unpark) sys.identify(requests_[step.request].from, files[step.request]);
    const auto block = [&](std::size_t start) {
        std::vector<RenameRecord> records;
        for (std::size_t s = start; s < std::min(steps.size(), start + kAnnouncedAtOnce); ++s)
            records.push_back({planner.toOf(steps[s]), planner.fromOf(steps[s]), files[steps[s].request]});
        return records;
    };
    const bool journaled = log.journaled();
    if (journaled && !steps.empty()) log.announce(block(0));
    bool inCycle = false;  // a file is parked: the cycle is finished before any stop
    for (std::size_t start = 0; start < steps.size() && !outcome.stopped; start += kAnnouncedAtOnce) {
        const std::size_t end = std::min(steps.size(), start + kAnnouncedAtOnce);
        // This block was announced and synced; the next one is synced while this one is made.
        if (journaled && start > 0) log.awaitAnnounced();
        if (journaled && end < steps.size()) log.announceAhead(block(end));

        for (std::size_t s = start; s < end; ++s) {
            const Planner::Step& step = steps[s];
            const RenameRequest& request = requests_[step.request];
            if (!inCycle && stop && stop->load()) {
                outcome.stopped = true;
                break;
            }
            if (step.kind == Planner::Kind::Park) inCycle = true;
            if (step.kind == Planner::Kind::Unpark) inCycle = false;
            if (step.kind == Planner::Kind::Unpark && parkFailed[step.request]) continue;
            int rc = renameWithoutReplacing(planner.fromOf(step), planner.toOf(step), sys);
            // Someone else holds the parking name: another one, announced first.
            for (int retry = 0; step.kind == Planner::Kind::Park && rc == EEXIST && retry < 10; ++retry) {
                planner.repark(step.request);
                log.announce({{planner.toOf(step), planner.fromOf(step), files[step.request]}});
                rc = renameWithoutReplacing(planner.fromOf(step), planner.toOf(step), sys);
            }
            if (rc == 0) {
                log.append(planner.toOf(step), planner.fromOf(step), files[step.request]);
                if (step.kind != Planner::Kind::Park) {
                    ++outcome.renamed;
                    if (progress) progress(outcome.renamed);
                }
                // A cycle made whole is marked on the disk at once: where identities prove
                // nothing (FAT), its names alone cannot tell it from one never begun.
                if (step.kind == Planner::Kind::Unpark) log.settle();
                continue;
            }
            if (step.kind == Planner::Kind::Park) parkFailed[step.request] = 1;
            if (step.kind == Planner::Kind::Unpark) {
                // The cycle broke (another program took a name meanwhile): the parked file
                // goes back to its own name if that is still free, else it is named where it is.
                const std::string parked = planner.fromOf(step);
                if (renameWithoutReplacing(parked, request.from, sys) == 0) log.append(request.from, parked, files[step.request]);
                else {
                    outcome.failed.push_back({parked, request.to});
                    continue;
                }
            }
            outcome.failed.push_back(request);
        }
    }
    log.settle();
    return outcome;
}

std::string sameNameText(const std::vector<RenameRequest>& skipped) {
    constexpr std::size_t kShown = 20;
    std::string text = "以下" + std::to_string(skipped.size()) + "个文件要改成的名字已由本批中前面的文件取用，未改名：";
    for (std::size_t i = 0; i < skipped.size() && i < kShown; ++i)
        text += "\n" + displayName(fileNameOf(skipped[i].from)) + " → " + displayName(fileNameOf(skipped[i].to));
    if (skipped.size() > kShown) text += "\n……";
    return text;
}

}  // namespace quilvane
