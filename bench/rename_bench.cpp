// Renaming a folder of MP3 files by the simple naming rule, and undoing it: file by file,
// and as a planned, journaled batch; beside a plain loop of the same system calls
// (renameat2 with RENAME_NOREPLACE).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "rename/rename_batch.h"
#include "rename/rename_journal.h"
#include "rename/simple_rename.h"
#include "mp3_generator.h"
#include "platform/folder_listing.h"

namespace quilvane::bench {
namespace {

constexpr int kFiles = 10000;

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    forEachEntry(folder, [&](const FolderEntry& e) {
        names.push_back(e.name);
        return true;
    });
    return names;
}

void BM_SimpleNamingAndUndo(benchmark::State& state) {
    const std::string folder = makeTemporaryFolder() + "/Tom";
    writeMp3Folder(folder, kFiles, "Song ", {});
    const SimpleNaming naming{NameStyle::ArtistInFront, "-", {}};
    for (auto _ : state) {
        UndoList log;
        std::int32_t count = 0;
        RenameSession session{log, count, [](const std::string&) { return false; }};
        for (const std::string& name : namesIn(folder))
            renameBySimpleRule(folder, folder + "/" + name, naming, session);
        if (count != kFiles) state.SkipWithError("not every file was renamed");
        undoRenames(log, {});
    }
    state.SetItemsProcessed(state.iterations() * kFiles * 2);
    removeTree(folder + "/..");
}
BENCHMARK(BM_SimpleNamingAndUndo)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the naming commands do now: the folder's renames planned as one batch, journaled
// in a state folder (synced every 100 renames and at the end), then undone.
void BM_PlannedJournaledNamingAndUndo(benchmark::State& state) {
    const std::string root = makeTemporaryFolder();
    const std::string folder = root + "/Tom";
    writeMp3Folder(folder, kFiles, "Song ", {});
    const SimpleNaming naming{NameStyle::ArtistInFront, "-", {}};
    RenameJournal journal(root + "/state");
    for (auto _ : state) {
        UndoList log;
        if (state.range(0)) log.keepJournal(&journal);
        RenameBatch batch;
        for (const std::string& name : namesIn(folder))
            if (auto target = simpleNamingTarget(folder, folder + "/" + name, naming)) batch.add(folder + "/" + name, *target);
        const BatchOutcome outcome = batch.run(log, [](const std::string&, const std::string&) { return HeldName::Skip; });
        if (outcome.renamed != kFiles) state.SkipWithError("not every file was renamed");
        undoRenames(log, {});
    }
    state.SetItemsProcessed(state.iterations() * kFiles * 2);
    removeTree(root);
}
BENCHMARK(BM_PlannedJournaledNamingAndUndo)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PlainRenameLoop(benchmark::State& state) {
    const std::string folder = makeTemporaryFolder() + "/Tom";
    writeMp3Folder(folder, kFiles, "Song ", {});
    for (auto _ : state) {
        const std::vector<std::string> names = namesIn(folder);
        for (const std::string& name : names)
            ::syscall(SYS_renameat2, AT_FDCWD, (folder + "/" + name).c_str(), AT_FDCWD,
                      (folder + "/Tom - " + name).c_str(), 1);
        for (const std::string& name : names)
            ::syscall(SYS_renameat2, AT_FDCWD, (folder + "/Tom - " + name).c_str(), AT_FDCWD,
                      (folder + "/" + name).c_str(), 1);
    }
    state.SetItemsProcessed(state.iterations() * kFiles * 2);
    removeTree(folder + "/..");
}
BENCHMARK(BM_PlainRenameLoop)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace quilvane::bench

BENCHMARK_MAIN();
