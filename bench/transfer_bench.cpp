// Copying a tree of 10,000 MP3 files beside `cp -r`, and sorting 10,000 files into
// artist folders beside a plain loop of renames, in the same run.
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#include "files/file_sorting.h"
#include "files/folder_transfer.h"
#include "mp3_generator.h"
#include "platform/paths.h"

namespace quilvane::bench {
namespace {

constexpr int kFiles = 10000;

struct SourceTree {
    SourceTree() : root(makeTemporaryFolder()) { writeMp3Tree(root + "/Music", 100, 100, Mp3Options{}); }
    ~SourceTree() { removeTree(root); }
    std::string root;
};

SourceTree& source() {
    static SourceTree tree;
    return tree;
}

void BM_CopyFolderTree(benchmark::State& state) {
    const std::string target = makeTemporaryFolder();
    for (auto _ : state) {
        CopyFolderTree(source().root + "/Music", target);
        state.PauseTiming();
        removeTree(target + "/Music");
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
    removeTree(target);
}
BENCHMARK(BM_CopyFolderTree)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CpDashR(benchmark::State& state) {
    const std::string target = makeTemporaryFolder();
    const std::string command = "cp -r '" + source().root + "/Music' '" + target + "/'";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) state.SkipWithError("cp failed");
        state.PauseTiming();
        removeTree(target + "/Music");
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
    removeTree(target);
}
BENCHMARK(BM_CpDashR)->Unit(benchmark::kMillisecond)->UseRealTime();

std::vector<std::string> writeArtistFiles(const std::string& folder) {
    std::vector<std::string> names;
    createFolders(folder);
    for (int i = 0; i < kFiles; ++i) {
        names.push_back("Artist" + std::to_string(i % 100) + " - Song" + std::to_string(i) + ".mp3");
        writeMp3(folder + "/" + names.back(), Mp3Options{});
    }
    return names;
}

void BM_SortIntoArtistFolders(benchmark::State& state) {
    const std::string root = makeTemporaryFolder();
    std::atomic<bool> stop{false};
    for (auto _ : state) {
        state.PauseTiming();
        writeArtistFiles(root + "/In");
        state.ResumeTiming();
        SortSettings settings;
        settings.searchPath = root + "/In";
        settings.destPath = root + "/Out";
        FileSorter sorter(settings, stop, {});
        if (sorter.run().sorted != kFiles) state.SkipWithError("not every file was sorted");
        state.PauseTiming();
        removeTree(root + "/Out");
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
    removeTree(root);
}
BENCHMARK(BM_SortIntoArtistFolders)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PlainRenameIntoFolders(benchmark::State& state) {
    const std::string root = makeTemporaryFolder();
    createFolders(root + "/Out");
    for (auto _ : state) {
        state.PauseTiming();
        const std::vector<std::string> names = writeArtistFiles(root + "/In");
        state.ResumeTiming();
        for (const std::string& name : names) {
            const std::string artist = root + "/Out/" + name.substr(0, name.find(" - "));
            ::mkdir(artist.c_str(), 0777);
            ::rename((root + "/In/" + name).c_str(), (artist + "/" + name).c_str());
        }
        state.PauseTiming();
        removeTree(root + "/Out");
        createFolders(root + "/Out");
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
    removeTree(root);
}
BENCHMARK(BM_PlainRenameIntoFolders)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace quilvane::bench

BENCHMARK_MAIN();
