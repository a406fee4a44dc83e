// One ID3v1 field of 10,000 tagged MP3 files into the editing area ("提取标题") and back
// ("修改标题", every title changed), through the main window, beside a plain loop of the
// same reads and writes: open, read the last 128 bytes, write them (for the write back),
// close.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/gui/application_windows.h"
#include "app/gui/form1.h"
#include "mp3_generator.h"
#include "platform/paths.h"

namespace quilvane::bench {
namespace {

constexpr int kFiles = 10000;

struct Folder {
    Folder() : root(makeTemporaryFolder()) {
        Mp3Options options;
        options.id3v1 = true;
        writeMp3Folder(root, kFiles, "song", options);
        const std::string before = currentDirectory();
        setCurrentDirectory(root);
        windows = std::make_unique<ApplicationWindows>();
        setCurrentDirectory(before);
    }
    ~Folder() {
        windows.reset();
        removeTree(root);
    }
    std::string root;
    std::unique_ptr<ApplicationWindows> windows;
};

Folder& folder() {
    static Folder f;
    return f;
}

void BM_ExtractTitles(benchmark::State& state) {
    TForm1& form = *folder().windows->Form1;
    for (auto _ : state) {
        form.ui.N24->trigger();
        if (form.memoLines().size() != kFiles) state.SkipWithError("wrong line count");
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(BM_ExtractTitles)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WriteBackTitles(benchmark::State& state) {
    TForm1& form = *folder().windows->Form1;
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QStringList lines;
        for (int i = 0; i < kFiles; ++i) lines << QStringLiteral("Title %1 %2").arg(i).arg(round % 2);
        form.setMemoLines(lines);
        ++round;
        state.ResumeTiming();
        form.ui.N30->trigger();
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(BM_WriteBackTitles)->Unit(benchmark::kMillisecond)->UseRealTime();

void plainLoop(benchmark::State& state, bool write) {
    std::vector<std::string> paths;
    const TForm1& form = *folder().windows->Form1;
    for (int i = 0; i < form.ui.FileListBox1->count(); ++i)
        paths.push_back(joinPath(folder().root, form.ui.FileListBox1->itemBytes(i)));
    char block[128];
    for (auto _ : state) {
        for (const std::string& path : paths) {
            const int fd = ::open(path.c_str(), (write ? O_RDWR : O_RDONLY) | O_CLOEXEC);
            struct stat st {};
            ::fstat(fd, &st);
            benchmark::DoNotOptimize(::pread(fd, block, sizeof block, st.st_size - 128));
            if (write) benchmark::DoNotOptimize(::pwrite(fd, block, sizeof block, st.st_size - 128));
            ::close(fd);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(paths.size()));
}
void BM_PlainReadLoop(benchmark::State& state) { plainLoop(state, false); }
void BM_PlainReadWriteLoop(benchmark::State& state) { plainLoop(state, true); }
BENCHMARK(BM_PlainReadLoop)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainReadWriteLoop)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace quilvane::bench
