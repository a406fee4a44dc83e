// The file list filling itself from a folder of 100,000 MP3 files, beside a plain loop
// of the same system calls (opendir, readdir, closedir, then the sort); and how long the
// window's event loop is kept waiting while the statistics worker walks 100,000 files.
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <dirent.h>

#include "app/gui/get_dir_information.h"
#include "mp3_generator.h"
#include "platform/file_list_entries.h"
#include "platform/qt/file_list_box.h"
#include "platform/text.h"

namespace quilvane::bench {
namespace {

struct BigFolder {
    BigFolder() : root(makeTemporaryFolder()) {
        Mp3Options one;
        one.frames = 1;
        writeMp3Folder(root + "/Flat", 100000, "Track ", one);
        writeMp3Tree(root + "/Tree", 100, 1000, one);
    }
    ~BigFolder() { removeTree(root); }
    std::string root;
};

BigFolder& big() {
    static BigFolder folder;
    return folder;
}

void BM_FillFileList(benchmark::State& state) {
    TFileListBox list;
    const std::string folder = big().root + "/Flat";  // generated before the timing starts
    for (auto _ : state) {
        if (list.setDirectory(folder) != 0) state.SkipWithError("cannot read");
        benchmark::DoNotOptimize(list.count());
    }
    state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_FillFileList)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PlainReaddirAndSort(benchmark::State& state) {
    const std::string folder = big().root + "/Flat";
    for (auto _ : state) {
        std::vector<std::string> names;
        DIR* dir = ::opendir(folder.c_str());
        while (const dirent* d = ::readdir(dir))
            if (d->d_name[0] != '.') names.emplace_back(d->d_name);
        ::closedir(dir);
        std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
            return compareIgnoringAsciiCase(a, b) < 0;
        });
        benchmark::DoNotOptimize(names.data());
    }
    state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_PlainReaddirAndSort)->Unit(benchmark::kMillisecond)->UseRealTime();

// The longest wait of a 5 ms timer on the GUI thread while the worker counts the tree.
void BM_WindowWhileStatisticsRun(benchmark::State& state) {
    const std::string tree = big().root + "/Tree";
    for (auto _ : state) {
        auto* worker = new TGetDirInformation(tree);
        QEventLoop loop;
        QString result;
        QObject::connect(worker, &TGetDirInformation::counted, &loop,
                         [&](const QString& counts, const QString&) { result = counts; });
        QObject::connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
        QElapsedTimer sinceTick;
        qint64 longestGap = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            longestGap = std::max(longestGap, sinceTick.restart());
        });
        tick.start(5);
        sinceTick.start();
        worker->start();
        loop.exec();
        state.counters["longest_gui_wait_ms"] = static_cast<double>(longestGap);
        if (result != "100个子文件夹，100000个文件") state.SkipWithError("wrong counts");
    }
    state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_WindowWhileStatisticsRun)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
}  // namespace quilvane::bench
