// `repair DIR`: the texts and names other programs show garbled, listed; with --apply,
// repaired (names through the journaled undo log, so `undo` gives them back).
#include <algorithm>
#include <atomic>
#include <charconv>

#include "rename/rename_journal.h"
#include "rename/undo_list.h"
#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/folders.h"
#include "cli/output.h"
#include "cli/rename_run.h"
#include "platform/display_name.h"
#include "platform/text.h"
#include "tageditor/repair_apply.h"
#include "tageditor/repair_scan.h"

namespace quilvane::cli {
namespace {

const OptionSpec kRepairOptions{{"--tree", "--apply", "--dry-run", "--verbose", "--no-undo"}, {"--min-confidence", "--reading"}, {}};

std::string comparable(std::string_view name) {
    std::string out;
    for (const char c : asciiLower(name))
        if (c != '-' && c != '_') out += c;
    return out;
}

std::optional<LegacyCharset> readingNamed(const std::optional<std::string>& given) {
    if (!given) return std::nullopt;
    for (const LegacyCharset c : kRepairReadings)
        if (comparable(charsetName(c)) == comparable(*given)) return c;
    throw UsageError(say("--reading 只能是 gbk、big5、shift-jis 或 latin-1", "--reading is gbk, big5, shift-jis or latin-1"));
}

int minimumConfidence(const std::optional<std::string>& given) {
    if (!given) return 0;
    int value = -1;
    const auto [end, ec] = std::from_chars(given->data(), given->data() + given->size(), value);
    if (ec != std::errc() || end != given->data() + given->size() || value < 0 || value > 100)
        throw UsageError(say("--min-confidence 是 0 到 100 的整数", "--min-confidence is a whole number from 0 to 100"));
    return value;
}

}  // namespace

int repairCommand(const Words& words) {
    const Arguments args(words, kRepairOptions);
    args.expectPlain(1, "DIR");
    const std::string folder = existingFolder(args.plain()[0]);
    const auto reading = readingNamed(args.value("--reading"));
    const int minimum = minimumConfidence(args.value("--min-confidence"));
    const bool apply = args.flag("--apply") && !args.flag("--dry-run");

    std::vector<RepairFinding> findings;
    std::atomic<bool> stop{false};
    Progress progress;
    const RepairScanResult scan = scanForRepair(folder, args.flag("--tree"), [&](std::vector<RepairFinding>&& found) {
        for (RepairFinding& f : found) {
            if (reading) f.reading = *reading;
            // A doubtful reading is listed, not repaired.
            f.checked = reading || f.detected.confidence >= minimum;
            findings.push_back(std::move(f));
        }
    }, [&](int files) { progress.show(say("已查看 ", "looked at ") + std::to_string(files)); }, stop);
    progress.clear();
    const std::string prefix = folder == "/" ? folder : folder + "/";
    if (!apply || args.flag("--verbose")) {
        for (const RepairFinding& f : findings) {
            const std::string file = f.path.starts_with(prefix) ? f.path.substr(prefix.size()) : f.path;
            const std::string confidence = reading ? say("指定", "given") : std::to_string(f.detected.confidence) + "%";
            printLine(std::string(f.checked ? "" : "# ") + displayName(file) + "\t" + f.where() + "\t" + f.shownToday() + "\t" +
                      f.readAs() + "\t" + charsetName(f.reading) + "\t" + confidence);
        }
    }
    for (const std::string& u : scan.unreadable) printProblem(u);
    const std::string counts = std::to_string(scan.files);
    if (!apply) {
        printLine(say("共查看 " + counts + " 个文件，找到 " + std::to_string(findings.size()) + " 处需要修复" +
                          (args.flag("--apply") ? "（试运行，未改动任何文件）" : "（加 --apply 修复）"),
                      "looked at " + counts + " files, found " + std::to_string(findings.size()) + " to repair" +
                          (args.flag("--apply") ? " (dry run: nothing was changed)" : " (add --apply to repair)")));
        return scan.unreadable.empty() ? kSuccess : kSomeFailed;
    }
    RenameJournal journal(programStateFolder());
    UndoList log;
    log.keepJournal(&journal);
    journal.load();
    journal.describe("repair", folder);
    // Renamed names are journaled; repaired tags are not (yet): only a batch with names needs it.
    if (std::any_of(findings.begin(), findings.end(), [](const RepairFinding& f) { return f.checked && f.kind == RepairKind::LegacyName; }))
        refuseWithoutJournal(journal, args.flag("--no-undo"));
    const RepairReport report = applyRepairs(findings, log, [&](int done, int total) {
        progress.show(say("已修复 ", "repaired ") + std::to_string(done) + " / " + std::to_string(total));
    });
    progress.clear();
    for (const std::string& f : report.failures) printProblem(f);
    if (!journal.problem().empty()) printProblem(journal.problem());
    printLine(say("已修复 " + std::to_string(report.filesRepaired) + " 个文件（文件夹），共 " + std::to_string(report.applied) +
                      " 处；未修复 " + std::to_string(report.left) + " 处；失败 " + std::to_string(report.failures.size()) + " 处",
                  "repaired " + std::to_string(report.filesRepaired) + " files (folders), " + std::to_string(report.applied) +
                      " texts; left " + std::to_string(report.left) + "; failed " + std::to_string(report.failures.size())));
    return report.failures.empty() && scan.unreadable.empty() ? kSuccess : kSomeFailed;
}

}  // namespace quilvane::cli
