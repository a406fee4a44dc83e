// `name simple|template|lines` and `undo`: the naming commands of the window, planned as
// one batch, journaled for undo, and never deleting a file whose new name is taken.
#include <ctime>
#include <map>

#include "rename/simple_rename.h"
#include "rename/undo_list.h"
#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/folders.h"
#include "cli/output.h"
#include "platform/display_name.h"
#include "cli/rename_run.h"
#include "editing/name_files.h"
#include "naming/id3_naming.h"
#include "naming/manual_naming.h"
#include "naming/tree_walk.h"
#include "platform/file_error.h"
#include "platform/file_list_entries.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace quilvane::cli {
namespace {

const OptionSpec kSimpleOptions{{"--tree", "--dry-run", "--verbose", "--no-undo"}, {"--style", "--separator", "--artist"}, {}};
const OptionSpec kTemplateOptions{{"--tree", "--dry-run", "--verbose", "--no-undo"}, {"--template", "--separator"}, {}};
const OptionSpec kLinesOptions{{"--dry-run", "--verbose", "--no-undo"}, {"--from"}, {}};
const OptionSpec kUndoOptions{{"--dry-run", "--verbose", "--list"}, {}, {}};

// Gathers the batch: each file of the folder's list, or of its tree, given to `target`,
// which returns its new path if it gets one. A file that cannot be read is noted and passed.
RenameBatch gather(const std::string& folder, bool tree, RenameRun& run,
                   const std::function<std::optional<std::string>(const std::string& folder, const std::string& name)>& target) {
    RenameBatch batch;
    Progress progress;
    int seen = 0;
    const auto visit = [&](const std::string& in, const std::string& name) {
        try {
            if (auto to = target(in, name)) batch.add(joinPath(in, name), std::move(*to));
        } catch (const FileError& e) {
            run.noteFailure(e.what());
        }
        progress.show(say("已查看 ", "looked at ") + std::to_string(++seen));
    };
    if (tree) {
        if (auto unreadable = walkTree(folder, visit)) run.noteFailure(unreadableFolderMessage(*unreadable));
    } else {
        for (const std::string& name : listedFiles(folder)) visit(folder, name);
    }
    return batch;
}

int runGathered(RenameBatch& batch, RenameRun& run, const std::string& command) {
    run.begin(command);
    Progress progress;
    const BatchOutcome outcome = batch.run(run.log(), run.keepHeldNames(), [&](int renamed) {
        progress.show(say("已改名 ", "renamed ") + std::to_string(renamed) + " / " + std::to_string(batch.size()));
    }, run.sys(), run.interruption());
    progress.clear();
    return run.finish(outcome);
}

int nameSimple(const Words& words) {
    const Arguments args(words, kSimpleOptions);
    args.expectPlain(1, "DIR");
    const std::string folder = existingFolder(args.plain()[0]);
    SimpleNaming naming;
    const std::string style = args.required("--style");
    if (style == "artist-title") naming.style = NameStyle::ArtistInFront;
    else if (style == "title") naming.style = NameStyle::AfterSeparator;
    else throw UsageError(say("--style 只能是 artist-title 或 title", "--style is artist-title or title"));
    naming.separator = separatorOption(args);
    if (auto artist = args.value("--artist")) {
        if (trimBlanks(*artist).empty()) throw UsageError(say("--artist 不能为空", "--artist cannot be empty"));
        naming.artist = *artist;
    }
    RenameRun run(args.flag("--dry-run"), args.flag("--verbose"), folder, args.flag("--no-undo"));
    RenameBatch batch = gather(folder, args.flag("--tree"), run, [&](const std::string& in, const std::string& name) {
        return simpleNamingTarget(in, joinPath(in, name), naming);
    });
    return runGathered(batch, run, "name simple --style " + style);
}

int nameTemplate(const Words& words) {
    const Arguments args(words, kTemplateOptions);
    args.expectPlain(1, "DIR");
    const std::string folder = existingFolder(args.plain()[0]);
    const std::string templ = args.required("--template");
    if (templ.empty()) throw UsageError(say("--template 不能为空", "--template cannot be empty"));
    const std::string separator = separatorOption(args);
    RenameRun run(args.flag("--dry-run"), args.flag("--verbose"), folder, args.flag("--no-undo"));
    RenameBatch batch = gather(folder, args.flag("--tree"), run, [&](const std::string& in, const std::string& name) {
        return id3NamingTarget(in, name, templ, separator);
    });
    return runGathered(batch, run, "name template --template " + templ);
}

int nameLines(const Words& words) {
    const Arguments args(words, kLinesOptions);
    args.expectPlain(1, "DIR");
    const std::string folder = existingFolder(args.plain()[0]);
    const std::string from = args.required("--from");
    ManualNaming naming;
    naming.folder = folder;
    naming.entries = listedFiles(folder);
    // "-": the names come from standard input (a pipe from another program).
    bool notText = false;
    const auto lines = readNameFile(from == "-" ? "/dev/stdin" : from, &notText);
    if (!lines && notText) throw UsageError(say("名字文件不是文本文件：", "the names file is not text: ") + displayName(from));
    if (!lines) throw UsageError(say("无法读取名字文件 ", "cannot read the names file ") + displayName(from));
    naming.lines = *lines;
    if (naming.lines.size() != naming.entries.size())
        printProblem(say(displayName(from) + " 有 " + std::to_string(naming.lines.size()) + " 行，文件夹中有 " +
                             std::to_string(naming.entries.size()) + " 个文件；多出的行不用，缺行的文件不改名",
                         displayName(from) + " has " + std::to_string(naming.lines.size()) + " lines for " +
                             std::to_string(naming.entries.size()) +
                             " files; extra lines are not used, files without a line keep their names"));
    RenameRun run(args.flag("--dry-run"), args.flag("--verbose"), folder, args.flag("--no-undo"));
    run.begin("name lines");
    std::int32_t renamed = 0;
    const ManualNamingResult result =
        renameFromLines(naming, run.log(), renamed, [](const std::string&) { return false; }, run.sys(), run.interruption());
    run.noteHeld(result.held);
    if (!result.refused.empty()) run.noteFailure(refusedLinesText(result.refused, naming.lines));
    return run.finish(result.batch);
}

}  // namespace

int nameCommand(const Words& words) {
    if (words.empty()) throw UsageError(say("name 后面要写 simple、template 或 lines", "name needs simple, template or lines"));
    const Words rest(words.begin() + 1, words.end());
    if (words[0] == "simple") return nameSimple(rest);
    if (words[0] == "template") return nameTemplate(rest);
    if (words[0] == "lines") return nameLines(rest);
    throw UsageError(say("不认识的命名方式 ", "unknown naming ") + words[0]);
}

// The batches that undo can take back, the newest (the next one undone) first.
int listHistory(const RenameJournal& journal) {
    const std::vector<RenameJournal::Batch> batches = journal.history();
    if (batches.empty()) printLine(say("没有可以撤销的改名", "there is no rename to undo"));
    for (const RenameJournal::Batch& b : batches) {
        std::tm local {};
        ::localtime_r(&b.started, &local);
        char when[32];
        std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", &local);
        const std::string files = std::to_string(filesRenamedIn(b.renames));
        printLine(std::string(when) + "  " + (b.about.empty() ? "-" : displayName(b.about)) + "  " +
                  say(files + " 个文件", files + " files") + "  " + displayName(b.folder));
    }
    return kSuccess;
}

int undoCommand(const Words& words) {
    const Arguments args(words, kUndoOptions);
    args.expectPlain(0, say("没有其他参数", "no other arguments"));
    const bool dryRun = args.flag("--dry-run");
    RenameJournal journal(programStateFolder());
    if (args.flag("--list")) return listHistory(journal);
    const auto batch = journal.load();
    if (!journal.problem().empty()) printProblem(journal.problem());
    if (!batch) {
        printLine(say("没有可以撤销的改名", "there is no rename to undo"));
        return journal.problem().empty() ? kSuccess : kSomeFailed;
    }
    // Where each file of the batch came from, for the list of what goes back.
    std::map<std::string, std::string> origin;
    for (const RenameRecord& r : batch->renames) {
        const auto known = origin.find(r.oldPath);
        const std::string first = known == origin.end() ? r.oldPath : known->second;
        if (known != origin.end()) origin.erase(known);
        origin[r.newPath] = first;
    }
    UndoList log;
    if (!dryRun) log.keepJournal(&journal);
    log.adopt(batch->renames);
    SimulatedSysCalls simulated;
    Progress progress;
    const std::atomic<bool>* stop = dryRun ? nullptr : &catchInterruptions();
    const UndoResult result = undoRenames(log, [&](int k) { progress.show(say("已恢复 ", "restored ") + std::to_string(k)); },
                                          dryRun ? static_cast<SysCalls&>(simulated) : realSysCalls(), stop);
    progress.clear();
    if (dryRun || args.flag("--verbose"))
        for (const auto& [now, was] : origin)
            if (now != was) printLine(displayName(now) + " -> " + displayName(was));
    if (!result.failed.empty()) printProblem(unrestoredNamesText(result.failed));
    if (result.stopped) {
        printLine(say("已中断：已恢复" + std::to_string(result.restored) + "个名字；再运行 quilvane-cli undo 可以继续",
                      "interrupted: restored " + std::to_string(result.restored) + " names; run quilvane-cli undo again to go on"));
        return kInterrupted;
    }
    const std::string restored = std::to_string(filesRenamedIn(batch->renames) - result.failed.size());
    printLine(dryRun ? say("试运行：将恢复 " + restored + " 个名字，不能恢复 " + std::to_string(result.failed.size()) + " 个（未改动任何文件）",
                           "dry run: would restore " + restored + " names, could not restore " +
                               std::to_string(result.failed.size()) + " (nothing was changed)")
                     : say("已恢复 " + restored + " 个名字，未能恢复 " + std::to_string(result.failed.size()) + " 个",
                           "restored " + restored + " names, could not restore " + std::to_string(result.failed.size())));
    return result.failed.empty() ? kSuccess : kSomeFailed;
}

}  // namespace quilvane::cli
