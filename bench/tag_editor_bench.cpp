// The tag editor over 10,000 MP3 files in 100 folders. Its batch in "全部修改" (both
// tags of every file): the walk alone, and through the real dialog and its worker (with
// the longest wait of a 5 ms timer on the window thread), beside a plain loop that
// reads the last 128 bytes and the ID3v2 header and writes both tags in place. The
// track list: "显示所有ID信息" over one folder, and the ID3v2 scan of the tree.
#include <QEventLoop>
#include <QElapsedTimer>
#include <QTimer>
#include <atomic>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "mp3_generator.h"
#include "tageditor/batch_tags.h"
#include "app/gui/application_windows.h"
#include "app/gui/form1.h"
#include "platform/paths.h"
#include "tageditor/gui/form4.h"
#include "tageditor/gui/v1v2_dialog.h"

namespace quilvane::bench {
namespace {

TagFieldValues fields(int round);

struct Tree {
    Tree() : root(makeTemporaryFolder()) {
        Mp3Options options;
        options.id3v1 = options.id3v2 = true;
        paths = writeMp3Tree(root, 100, 100, options);
        // One run first: the tags take their frames (growing each file once, through a
        // flushed rewrite), so the runs measured write in place, as repeated edits do.
        const std::atomic<bool> stop{false};
        const TagFieldValues values = fields(0);
        BatchTagWalk({root, BatchMode::ChangeBoth, false, false, true}, stop, [&] { return values; }, {}).run();
    }
    ~Tree() { removeTree(root); }
    std::string root;
    std::vector<std::string> paths;
};

Tree& tree() {
    static Tree t;
    return t;
}

TagFieldValues fields(int round) {
    TagFieldValues f;
    const std::string title = round % 2 ? "Title one" : "Title two";
    f.v1 = {title, "Artist", "Album", "2001", "Comment"};
    f.v2[TID3V2::Title] = title;
    f.v2[TID3V2::Artist] = "Artist";
    f.v2[TID3V2::Album] = "Album";
    f.v2[TID3V2::Year] = "2001";
    return f;
}

void BM_BatchBothTags(benchmark::State& state) {
    const std::string root = tree().root;
    int round = 0;
    for (auto _ : state) {
        const TagFieldValues values = fields(++round);
        const std::atomic<bool> stop{false};
        BatchTagWalk walk({root, BatchMode::ChangeBoth, false, false, true}, stop, [&] { return values; }, {});
        if (walk.run().done != 10000) state.SkipWithError("not every file was done");
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_BatchBothTags)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same system work without the program: both tags written in place.
void BM_PlainPwriteLoop(benchmark::State& state) {
    const auto& paths = tree().paths;
    char header[10];
    char tail[128];
    std::string v2(300, '\0');
    std::string v1(128, '\0');
    int round = 0;
    for (auto _ : state) {
        v1[3] = v2[20] = static_cast<char>('a' + (++round % 2));
        for (const std::string& path : paths) {
            const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
            struct stat st {};
            ::fstat(fd, &st);
            benchmark::DoNotOptimize(::pread(fd, header, sizeof header, 0));
            benchmark::DoNotOptimize(::pread(fd, tail, sizeof tail, st.st_size - 128));
            std::copy_n(header, 10, v2.begin());
            std::copy_n(tail, 3, v1.begin());
            benchmark::DoNotOptimize(::pwrite(fd, v2.data() + 10, 200, 10));
            benchmark::DoNotOptimize(::pwrite(fd, v1.data(), 128, st.st_size - 128));
            ::close(fd);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(paths.size()));
}
BENCHMARK(BM_PlainPwriteLoop)->Unit(benchmark::kMillisecond)->UseRealTime();

// Through the dialog: its worker reads the fields on the window thread for each file.
void BM_BatchThroughTheDialog(benchmark::State& state) {
    const std::string root = tree().root;
    TV1V2Dialog dialog;
    dialog.openForFolder(root);
    dialog.ui.CheckBox9->setChecked(true);
    dialog.ui.RadioGroup1->setItemIndex(2);
    const auto runOnce = [&dialog] {
        QEventLoop loop;
        QObject::connect(&dialog, &TV1V2Dialog::batchRunningChanged, &loop, [&loop](bool running) {
            if (!running) loop.quit();
        });
        dialog.ui.BitBtn6->click();
        loop.exec();
    };
    runOnce();  // the dialog's default texts fill more frames: every tag grows once
    int round = 0;
    for (auto _ : state) {
        dialog.ui.Edit3->setText(++round % 2 ? "Album one" : "Album two");
        QEventLoop loop;
        QObject::connect(&dialog, &TV1V2Dialog::batchRunningChanged, &loop, [&loop](bool running) {
            if (!running) loop.quit();
        });
        QElapsedTimer sinceTick;
        qint64 longestGap = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] { longestGap = std::max(longestGap, sinceTick.restart()); });
        tick.start(5);
        sinceTick.start();
        dialog.ui.BitBtn6->click();
        loop.exec();
        state.counters["longest_gui_wait_ms"] = static_cast<double>(longestGap);
        if (!dialog.ui.StatusBar1->panelText(0).startsWith("10000个")) state.SkipWithError("the run did not finish");
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_BatchThroughTheDialog)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// "显示所有ID信息" over a folder of 10,000 tagged files, through the real windows.
void BM_ListAllTags(benchmark::State& state) {
    const std::string root = makeTemporaryFolder();
    Mp3Options options;
    options.id3v1 = options.id3v2 = true;
    writeMp3Folder(root + "/All", 10000, "song", options);
    const std::string before = currentDirectory();
    setCurrentDirectory(root + "/All");
    {
        ApplicationWindows windows;
        for (auto _ : state) {
            windows.Form1->ui.N40->trigger();
            if (windows.Form4->model().rowCount() != 10000) state.SkipWithError("wrong row count");
        }
    }
    setCurrentDirectory(before);
    removeTree(root);
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_ListAllTags)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The ID3v2 scan of the 10,000 files in 100 folders, with the longest wait of a 5 ms
// timer on the window thread while the rows come in.
void BM_ScanThroughTheDialog(benchmark::State& state) {
    const std::string root = tree().root;
    TForm4 list;
    TV1V2Dialog dialog;
    dialog.setTrackList(&list);
    dialog.openForFolder(root);
    dialog.ui.CheckBox9->setChecked(true);
    for (auto _ : state) {
        QElapsedTimer sinceTick;
        qint64 longestGap = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] { longestGap = std::max(longestGap, sinceTick.restart()); });
        tick.start(5);
        sinceTick.start();
        dialog.ui.BitBtn8->click();
        while (dialog.scanRunning()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        state.counters["longest_gui_wait_ms"] = static_cast<double>(longestGap);
        if (list.model().rowCount() != 10000) state.SkipWithError("wrong row count");
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_ScanThroughTheDialog)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
}  // namespace quilvane::bench
