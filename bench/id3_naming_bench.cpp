// ID3 naming of 10,000 tagged MP3 files in 100 folders and its undo, beside a plain
// loop of the same system calls (read the last 128 bytes, rename).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "rename/undo_list.h"
#include "mp3_generator.h"
#include "rename/name_rules.h"
#include "naming/id3_naming.h"
#include "naming/tree_walk.h"
#include "platform/paths.h"
#include "tags/tag_block.h"

namespace quilvane::bench {
namespace {

constexpr int kFolders = 100;
constexpr int kPerFolder = 100;

std::string makeTree() {
    const std::string root = makeTemporaryFolder();
    Mp3Options options;
    options.id3v1 = true;
    writeMp3Tree(root, kFolders, kPerFolder, options);
    return root;
}

// Each file gets a distinct title so that every rename can happen.
void giveDistinctTitles(const std::string& root) {
    int n = 0;
    walkTree(root, [&](const std::string& folder, const std::string& name) {
        const std::string path = joinPath(folder, name);
        TagBlock tag = readTagBlock(path);
        tag.setField(tagfield::Title, "Title " + std::to_string(n++));
        writeTagBlock(path, tag);
    });
}

// ID3 naming of every file of the tree with the template "Ar_T".
std::int32_t nameTree(const std::string& root, UndoList& log) {
    std::int32_t count = 0;
    walkTree(root, [&](const std::string& folder, const std::string& name) {
        const std::string path = joinPath(folder, name);
        const TagBlock tag = readTagBlock(path);
        if (!isId3NamingCandidate(name, tag)) return;
        const std::string newName = buildId3Name("Ar_T", tag, "-");
        if (isApplicableName(newName)) renameAndLog(path, joinPath(folder, newName), log, count);
    });
    return count;
}

void BM_Id3NamingAndUndo(benchmark::State& state) {
    const std::string root = makeTree();
    giveDistinctTitles(root);
    for (auto _ : state) {
        UndoList log;
        if (nameTree(root, log) != kFolders * kPerFolder) state.SkipWithError("not every file was renamed");
        undoRenames(log, {});
    }
    state.SetItemsProcessed(state.iterations() * kFolders * kPerFolder);
    removeTree(root);
}
BENCHMARK(BM_Id3NamingAndUndo)->Unit(benchmark::kMillisecond);

// Only the naming, to quote it apart from the undo.
void BM_Id3NamingOnly(benchmark::State& state) {
    const std::string root = makeTree();
    giveDistinctTitles(root);
    for (auto _ : state) {
        UndoList log;
        nameTree(root, log);
        state.PauseTiming();
        undoRenames(log, {});
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kFolders * kPerFolder);
    removeTree(root);
}
BENCHMARK(BM_Id3NamingOnly)->Unit(benchmark::kMillisecond);

void BM_PlainReadAndRenameLoop(benchmark::State& state) {
    const std::string root = makeTree();
    std::vector<std::string> paths;
    walkTree(root, [&](const std::string& folder, const std::string& name) { paths.push_back(joinPath(folder, name)); });
    char tail[128];
    for (auto _ : state) {
        for (const std::string& path : paths) {
            const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            struct stat st {};
            ::fstat(fd, &st);
            ::pread(fd, tail, sizeof tail, st.st_size - 128);
            ::close(fd);
            ::syscall(SYS_renameat2, AT_FDCWD, path.c_str(), AT_FDCWD, (path + ".renamed").c_str(), 1);
        }
        state.PauseTiming();
        for (const std::string& path : paths)
            ::syscall(SYS_renameat2, AT_FDCWD, (path + ".renamed").c_str(), AT_FDCWD, path.c_str(), 1);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(paths.size()));
    removeTree(root);
}
BENCHMARK(BM_PlainReadAndRenameLoop)->Unit(benchmark::kMillisecond);

// The undo alone, beside a plain loop of renames.
void BM_UndoOnly(benchmark::State& state) {
    const std::string root = makeTree();
    giveDistinctTitles(root);
    for (auto _ : state) {
        state.PauseTiming();
        UndoList log;
        std::int32_t count = 0;
        walkTree(root, [&](const std::string& folder, const std::string& name) {
            const std::string path = joinPath(folder, name);
            renameAndLog(path, path + ".renamed", log, count);
        });
        state.ResumeTiming();
        undoRenames(log, {});
    }
    state.SetItemsProcessed(state.iterations() * kFolders * kPerFolder);
    removeTree(root);
}
BENCHMARK(BM_UndoOnly)->Unit(benchmark::kMillisecond);

void BM_PlainRenameBackLoop(benchmark::State& state) {
    const std::string root = makeTree();
    std::vector<std::string> paths;
    walkTree(root, [&](const std::string& folder, const std::string& name) { paths.push_back(joinPath(folder, name)); });
    for (auto _ : state) {
        state.PauseTiming();
        for (const std::string& path : paths)
            ::syscall(SYS_renameat2, AT_FDCWD, path.c_str(), AT_FDCWD, (path + ".renamed").c_str(), 1);
        state.ResumeTiming();
        for (auto it = paths.rbegin(); it != paths.rend(); ++it)
            ::syscall(SYS_renameat2, AT_FDCWD, (*it + ".renamed").c_str(), AT_FDCWD, it->c_str(), 1);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(paths.size()));
    removeTree(root);
}
BENCHMARK(BM_PlainRenameBackLoop)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quilvane::bench

BENCHMARK_MAIN();
