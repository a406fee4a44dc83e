// `sort DIR --target DIR --by artist|collect`: files into per-artist folders (the part of
// the name before the last separator), or all into one folder; never over another file.
#include <atomic>
#include <optional>

#include "rename/rename_journal.h"
#include "rename/undo_list.h"
#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/folders.h"
#include "cli/output.h"
#include "platform/display_name.h"
#include "files/file_sorting.h"
#include "files/transfer_error.h"
#include "platform/folder_listing.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace quilvane::cli {
namespace {

const OptionSpec kSortOptions{{"--tree", "--copy", "--dry-run", "--verbose", "--only-existing"},
                              {"--target", "--by", "--separator", "--ext"}, {}};

}  // namespace

int sortCommand(const Words& words) {
    const Arguments args(words, kSortOptions);
    args.expectPlain(1, "DIR");
    SortSettings settings;
    settings.searchPath = existingFolder(args.plain()[0]);
    std::string target = args.required("--target");
    while (target.size() > 1 && target.back() == '/') target.pop_back();
    // Absolute, like the search folder: the journal must find the files from anywhere.
    if (!target.starts_with('/')) target = joinPath(currentDirectory(), target);
    const std::string by = args.required("--by");
    if (by != "artist" && by != "collect") throw UsageError(say("--by 只能是 artist 或 collect", "--by is artist or collect"));
    settings.byArtist = by == "artist";
    (settings.byArtist ? settings.destPath : settings.collectPath) = target;
    if (args.flag("--copy") && !settings.byArtist)
        throw UsageError(say("--copy 只用于 --by artist（collect 总是移动）", "--copy goes with --by artist (collect always moves)"));
    settings.keepOriginal = args.flag("--copy");
    settings.withSubfolders = args.flag("--tree");
    settings.onlyExisting = args.flag("--only-existing");
    settings.separator = separatorOption(args);
    if (auto ext = args.value("--ext")) {
        settings.restrictExt = true;
        settings.extFilter = asciiUpper(ext->starts_with(".") ? *ext : "." + *ext);
    }
    settings.dryRun = args.flag("--dry-run");

    // Moves are journaled like renames: undo takes a sorting back.
    std::optional<RenameJournal> journal;
    UndoList log;
    if (!settings.dryRun) {
        journal.emplace(programStateFolder());
        log.keepJournal(&*journal);
        journal->load();
        journal->describe("sort --by " + by, settings.searchPath);
        log.startBatch();
    }
    std::atomic<bool> stop{false};
    Progress progress;
    FileSorter sorter(settings, stop, [&](const SortCounts& counts) {
        progress.show(say("已归类 ", "sorted ") + std::to_string(counts.sorted));
    });
    const bool list = settings.dryRun || args.flag("--verbose");
    // Paths shown as given: relative to the folder the command runs in.
    const std::string here = currentDirectory();
    const auto shown = [&here](const std::string& path) {
        return displayName(path.starts_with(here + "/") ? path.substr(here.size() + 1) : path);
    };
    sorter.reportSorted([&](const std::string& from, const std::string& to) {
        if (!list) return;
        progress.clear();
        printLine(shown(from) + " -> " + shown(to));
    });
    if (!settings.dryRun) sorter.journalTo(&log);
    int failed = 0;
    try {
        sorter.run();
    } catch (const TransferError& e) {
        ++failed;
        progress.clear();
        printProblem(e.what());
    }
    progress.clear();
    const SortCounts& counts = sorter.counts();
    for (const UnreadableFolder& u : counts.unreadable) printProblem(unreadableFolderMessage(u));
    if (journal && !journal->problem().empty()) printProblem(journal->problem());
    failed += static_cast<int>(counts.unreadable.size());
    const std::string sorted = std::to_string(counts.sorted);
    const std::string skipped = std::to_string(counts.skipped);
    printLine(settings.dryRun
                  ? say("试运行：将归类 " + sorted + " 个文件，跳过 " + skipped + " 个（未改动任何文件）",
                        "dry run: would sort " + sorted + " files, skip " + skipped + " (nothing was changed)")
                  : say("已归类 " + sorted + " 个文件，跳过 " + skipped + " 个，失败 " + std::to_string(failed) + " 处",
                        "sorted " + sorted + " files, skipped " + skipped + ", failed " + std::to_string(failed)));
    return failed == 0 ? kSuccess : kSomeFailed;
}

}  // namespace quilvane::cli
