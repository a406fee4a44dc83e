// The repair of an old collection over 10,000 MP3 files in 100 folders, each with a GBK
// title and artist in an encoding-0 ID3v2 tag and in its ID3v1 tag (two findings a file):
// the scan beside the least any scan must do (list the folders, read both tags through one
// opening) and beside a plain loop of open, fstat, two preads, close; the repair beside a
// plain loop that rewrites each tag in place (open, fstat, pread, pwrite, close).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>

#include "rename/undo_list.h"
#include "mp3_generator.h"
#include "plain_loops.h"
#include "platform/folder_listing.h"
#include "platform/legacy_text.h"
#include "platform/paths.h"
#include "tageditor/repair_apply.h"
#include "tageditor/repair_scan.h"
#include "tags/id3v1.h"
#include "tags/id3v2.h"
#include "tags/tag_reader.h"

namespace quilvane::bench {
namespace {

constexpr int kFolders = 100;
constexpr int kPerFolder = 100;

Mp3Options legacyTags() {
    Mp3Options options;
    options.id3v1 = options.id3v2 = true;
    options.title = encodeLegacy("后来的我们", LegacyCharset::Gbk).value();
    options.artist = encodeLegacy("刘若英", LegacyCharset::Gbk).value();
    return options;
}

struct Tree {
    explicit Tree(const Mp3Options& options) : root(makeTemporaryFolder()) {
        paths = writeMp3Tree(root, kFolders, kPerFolder, options);
    }
    ~Tree() { removeTree(root); }
    std::string root;
    std::vector<std::string> paths;
};

Tree& legacyTree() {
    static Tree t(legacyTags());
    return t;
}

std::vector<RepairFinding> scanAll(const std::string& root) {
    std::vector<RepairFinding> all;
    std::atomic<bool> stop{false};
    scanForRepair(root, true, [&](std::vector<RepairFinding>&& found) {
        for (RepairFinding& f : found) all.push_back(std::move(f));
    }, {}, stop);
    return all;
}

void BM_ScanForRepair(benchmark::State& state) {
    const std::string& root = legacyTree().root;
    std::size_t findings = 0;
    for (auto _ : state) findings = scanAll(root).size();
    if (findings != 2u * kFolders * kPerFolder) state.SkipWithError("not every GBK text was found");
    state.counters["findings"] = static_cast<double>(findings);
    state.SetItemsProcessed(state.iterations() * kFolders * kPerFolder);
}
BENCHMARK(BM_ScanForRepair)->Unit(benchmark::kMillisecond);

// The walk and the shared tag reader alone, without looking at the texts.
void walkAndRead(const std::string& folder, TID3V1& v1, TID3V2& v2, std::size_t& titles) {
    std::vector<FolderEntry> entries;
    listFolder(folder, entries);
    for (const FolderEntry& e : entries) {
        const std::string path = joinPath(folder, e.name);
        if (e.isFolder()) {
            walkAndRead(path, v1, v2, titles);
            continue;
        }
        readBothTags(path, v1, v2, OpenFile::Known::ListedAsRegularFile);
        titles += v2.Frames[TID3V2::Title].size() + v1.Title.size();
    }
}

void BM_WalkAndSharedReader(benchmark::State& state) {
    const std::string& root = legacyTree().root;
    TID3V1 v1;
    TID3V2 v2;
    std::size_t titles = 0;
    for (auto _ : state) walkAndRead(root, v1, v2, titles);
    benchmark::DoNotOptimize(titles);
    state.SetItemsProcessed(state.iterations() * kFolders * kPerFolder);
}
BENCHMARK(BM_WalkAndSharedReader)->Unit(benchmark::kMillisecond);

void BM_PlainReadLoop(benchmark::State& state) {
    const auto& paths = legacyTree().paths;
    std::size_t bytes = 0;
    for (auto _ : state) bytes += readHeadsAndTails(paths);
    benchmark::DoNotOptimize(bytes);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(paths.size()));
}
BENCHMARK(BM_PlainReadLoop)->Unit(benchmark::kMillisecond);

// Each round repairs a fresh tree; writing it and scanning it are not timed.
void BM_RepairTags(benchmark::State& state) {
    std::size_t applied = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Tree tree(legacyTags());
        const std::vector<RepairFinding> findings = scanAll(tree.root);
        UndoList log;
        state.ResumeTiming();
        applied = static_cast<std::size_t>(applyRepairs(findings, log).applied);
        state.PauseTiming();
        if (!scanAll(tree.root).empty()) state.SkipWithError("something was left unrepaired");
        state.ResumeTiming();
    }
    state.counters["repairs"] = static_cast<double>(applied);
    state.SetItemsProcessed(state.iterations() * kFolders * kPerFolder);
}
BENCHMARK(BM_RepairTags)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_PlainRewriteTagLoop(benchmark::State& state) {
    const auto& paths = legacyTree().paths;
    char head[4096];
    std::size_t bytes = 0;
    for (auto _ : state) {
        for (const std::string& path : paths) {
            const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
            struct stat st {};
            ::fstat(fd, &st);
            const ssize_t got = ::pread(fd, head, sizeof head, 0);
            // The same bytes back: the tag's own write, without changing the file.
            bytes += static_cast<std::size_t>(::pwrite(fd, head, static_cast<std::size_t>(std::min<ssize_t>(got, 300)), 0));
            ::close(fd);
        }
    }
    benchmark::DoNotOptimize(bytes);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(paths.size()));
}
BENCHMARK(BM_PlainRewriteTagLoop)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quilvane::bench

BENCHMARK_MAIN();
