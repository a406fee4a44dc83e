// Reading both tags of 10,000 MP3 files in 100 folders (each object opening the file,
// and both through one opening), beside a plain loop of the same system calls: open,
// fstat, read the head, read the last 128 bytes, close.
#include <benchmark/benchmark.h>

#include "mp3_generator.h"
#include "plain_loops.h"
#include "tags/id3v1.h"
#include "tags/id3v2.h"
#include "tags/tag_reader.h"

namespace quilvane::bench {
namespace {

struct Tree {
    Tree() : root(makeTemporaryFolder()) {
        Mp3Options options;
        options.id3v1 = options.id3v2 = true;
        paths = writeMp3Tree(root, 100, 100, options);
    }
    ~Tree() { removeTree(root); }
    std::string root;
    std::vector<std::string> paths;
};

Tree& tree() {
    static Tree t;
    return t;
}

void BM_ReadBothTags(benchmark::State& state) {
    const auto& paths = tree().paths;
    std::size_t titles = 0;
    for (auto _ : state) {
        for (const std::string& path : paths) {
            TID3V2 v2;
            v2.LoadTag(path);
            TID3V1 v1;
            v1.LoadTag(path);
            titles += v2.Frames[TID3V2::Title].size() + v1.Title.size();
        }
    }
    benchmark::DoNotOptimize(titles);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(paths.size()));
}
BENCHMARK(BM_ReadBothTags)->Unit(benchmark::kMillisecond);

// The same through one opening of each file, as the walks read files their listing found.
void BM_SharedReader(benchmark::State& state) {
    const auto& paths = tree().paths;
    std::size_t titles = 0;
    TID3V1 v1;
    TID3V2 v2;
    for (auto _ : state) {
        for (const std::string& path : paths) {
            readBothTags(path, v1, v2, OpenFile::Known::ListedAsRegularFile);
            titles += v2.Frames[TID3V2::Title].size() + v1.Title.size();
        }
    }
    benchmark::DoNotOptimize(titles);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(paths.size()));
}
BENCHMARK(BM_SharedReader)->Unit(benchmark::kMillisecond);

void BM_PlainReadLoop(benchmark::State& state) {
    const auto& paths = tree().paths;
    std::size_t bytes = 0;
    for (auto _ : state) bytes += readHeadsAndTails(paths);
    benchmark::DoNotOptimize(bytes);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(paths.size()));
}
BENCHMARK(BM_PlainReadLoop)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quilvane::bench

BENCHMARK_MAIN();
