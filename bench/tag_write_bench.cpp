// Setting the ID3v2 album of 10,000 MP3 files in 100 folders, as encoders leave them
// (4.5 KB, a 2.3 tag with 0, 64, 128 or 256 bytes of padding, an ID3v1 tag): every round
// starts from fresh copies, so every tag outgrows its room and is rewritten, as on the
// first edit of a collection. Beside it, the same files through TagLib (which grows
// files in place, without a flush) and a plain loop of the calls an edit in place needs.
// The second round edits files a first run of the program has written (with room).
#include <benchmark/benchmark.h>
#include <atomic>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

#include "mp3_generator.h"
#include "tageditor/batch_tags.h"

namespace quilvane::bench {
namespace {
namespace fs = std::filesystem;

constexpr int kFolders = 100;
constexpr int kPerFolder = 100;
constexpr int kFiles = kFolders * kPerFolder;

struct Trees {
    Trees() : root(makeTemporaryFolder()) {
        for (int f = 0; f < kFolders; ++f) {
            char name[32];
            std::snprintf(name, sizeof name, "/Folder %03d", f);
            fs::create_directories(root + "/pristine" + name);
            for (int i = 0; i < kPerFolder; ++i) {
                Mp3Options options;
                options.frames = 10;
                options.id3v1 = options.id3v2 = true;
                const int kind = (f * kPerFolder + i) % 4;
                options.padding = kind == 3 ? 256 : 64 * kind;
                char file[32];
                std::snprintf(file, sizeof file, "/Song %05d.mp3", i);
                writeMp3(root + "/pristine" + name + file, options);
                names.push_back(std::string(name) + file);
            }
        }
    }
    ~Trees() { removeTree(root); }
    // Fresh copies of the pristine files, made before the rounds that use them (so that
    // no round follows the deletion of thousands of files, which slows the allocation
    // of new ones) and settled on the disk (so that no round pays for flushing them).
    std::vector<std::string> freshCopies(int count) {
        std::vector<std::string> copies;
        for (int i = 0; i < count; ++i) {
            copies.push_back(root + "/copy" + std::to_string(made++));
            fs::copy(root + "/pristine", copies.back(), fs::copy_options::recursive);
        }
        ::sync();
        return copies;
    }
    std::vector<std::string> pathsIn(const std::string& copy) const {
        std::vector<std::string> paths;
        for (const std::string& name : names) paths.push_back(copy + name);
        return paths;
    }
    std::string root;
    std::vector<std::string> names;
    int made = 0;
};

Trees& trees() {
    static Trees t;
    return t;
}

constexpr int kRounds = 3;

TagFieldValues albumOnly(const std::string& album) {
    TagFieldValues f;
    f.v2[TID3V2::Title] = "Title";
    f.v2[TID3V2::Artist] = "Artist";
    f.v2[TID3V2::Album] = album;
    f.v2Genre = -1;
    return f;
}

// The batch worker of the tag editor in "修改ID3v2", fields as in the files but the album.
int runBatch(const std::string& root, const std::string& album) {
    const std::atomic<bool> stop{false};
    const TagFieldValues values = albumOnly(album);
    BatchTagWalk walk({root, BatchMode::ChangeV2, false, false, true}, stop, [&] { return values; }, {});
    return walk.run().done;
}

void BM_QuilvaneBatchFirstEdit(benchmark::State& state) {
    const std::vector<std::string> copies = trees().freshCopies(kRounds);
    std::size_t round = 0;
    for (auto _ : state)
        if (runBatch(copies[round++], "An album of the first edit") != kFiles) state.SkipWithError("not every file was done");
    state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(BM_QuilvaneBatchFirstEdit)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(kRounds);

void BM_TagLibFirstEdit(benchmark::State& state) {
    const std::vector<std::string> copies = trees().freshCopies(kRounds);
    std::size_t round = 0;
    for (auto _ : state) {
        for (const std::string& path : trees().pathsIn(copies[round])) {
            TagLib::MPEG::File file(path.c_str(), false);
            file.ID3v2Tag(true)->setAlbum("An album of the first edit");
            if (!file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone, TagLib::ID3v2::v3,
                           TagLib::File::DoNotDuplicate))
                state.SkipWithError("TagLib did not save");
        }
        ++round;
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(BM_TagLibFirstEdit)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(kRounds);

// The floor: open, read the header and the tag, patch it, write it back in place, close.
void plainInPlaceLoop(const std::vector<std::string>& paths, char mark) {
    std::string tag(4096, '\0');
    for (const std::string& path : paths) {
        const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
        char header[10];
        benchmark::DoNotOptimize(::pread(fd, header, sizeof header, 0));
        const std::size_t size = (header[6] & 0x7F) << 21 | (header[7] & 0x7F) << 14 | (header[8] & 0x7F) << 7 | (header[9] & 0x7F);
        const ssize_t n = ::pread(fd, tag.data(), std::min(size, tag.size()), 10);
        if (n > 0) {
            tag[0] = mark;  // a stand-in for the patched frame
            benchmark::DoNotOptimize(::pwrite(fd, tag.data(), static_cast<std::size_t>(n), 10));
        }
        ::close(fd);
    }
}

void BM_PlainInPlaceLoop(benchmark::State& state) {
    const std::vector<std::string> paths = trees().pathsIn(trees().freshCopies(1).front());
    char mark = 'T';
    for (auto _ : state) {
        plainInPlaceLoop(paths, mark);
        mark = mark == 'T' ? 'X' : 'T';
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(BM_PlainInPlaceLoop)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2 * kRounds);

// The second edit of files the program has written once: every tag now has room.
void BM_QuilvaneBatchSecondEdit(benchmark::State& state) {
    const std::string copy = trees().freshCopies(1).front();
    runBatch(copy, "An album of the first edit");
    ::sync();
    int round = 0;
    for (auto _ : state) {
        const std::string album = ++round % 2 ? "Another album, second edit" : "An album of the first edit";
        if (runBatch(copy, album) != kFiles) state.SkipWithError("not every file was done");
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(BM_QuilvaneBatchSecondEdit)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2 * kRounds);

}  // namespace
}  // namespace quilvane::bench

BENCHMARK_MAIN();
