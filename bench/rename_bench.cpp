// Renaming a folder of MP3 files by the simple naming rule, and undoing it, beside a
// plain loop of the same system calls (renameat2 with RENAME_NOREPLACE).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "app/simple_rename.h"
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
BENCHMARK(BM_SimpleNamingAndUndo)->Unit(benchmark::kMillisecond);

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
BENCHMARK(BM_PlainRenameLoop)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quilvane::bench

BENCHMARK_MAIN();
