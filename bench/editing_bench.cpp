// The line transforms over 100,000 lines, and "列举文件名" and "复制文件名" of the main
// window over a folder of 100,000 MP3 files.
#include <benchmark/benchmark.h>

#include "app/gui/application_windows.h"
#include "app/gui/form1.h"
#include "editing/line_transforms.h"
#include "mp3_generator.h"

namespace quilvane::bench {
namespace {

constexpr int kLines = 100000;

Lines sampleLines() {
    Lines lines;
    for (int i = 0; i < kLines; ++i)
        lines.push_back(i % 10 == 0 ? "   " : "  " + std::to_string(i) + " Artist " + std::to_string(i % 97) + " - my Song Title.Mp3 ");
    return lines;
}

template <typename Transform>
void runTransform(benchmark::State& state, Transform transform) {
    const Lines original = sampleLines();
    for (auto _ : state) {
        state.PauseTiming();
        Lines lines = original;
        state.ResumeTiming();
        transform(lines);
        benchmark::DoNotOptimize(lines.data());
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}

void BM_UpperCaseNames(benchmark::State& s) { runTransform(s, upperCaseNames); }
void BM_LowerCaseNames(benchmark::State& s) { runTransform(s, lowerCaseNames); }
void BM_StripLeadingDigits(benchmark::State& s) { runTransform(s, stripLeadingDigits); }
void BM_CutBeforeSeparator(benchmark::State& s) { runTransform(s, [](Lines& l) { cutBeforeSeparator(l, "-"); }); }
void BM_CutAfterSeparator(benchmark::State& s) { runTransform(s, [](Lines& l) { cutAfterSeparator(l, "-"); }); }
void BM_NumberLines(benchmark::State& s) { runTransform(s, [](Lines& l) { numberLines(l, "-"); }); }
void BM_AddPrefix(benchmark::State& s) { runTransform(s, [](Lines& l) { addPrefix(l, "CD1 "); }); }
void BM_AddSuffix(benchmark::State& s) { runTransform(s, [](Lines& l) { addSuffix(l, "-", "live"); }); }
void BM_RemoveExtensions(benchmark::State& s) { runTransform(s, removeExtensions); }
void BM_RemoveBlankLines(benchmark::State& s) { runTransform(s, removeBlankLines); }
void BM_RemoveSpaces(benchmark::State& s) { runTransform(s, removeSpaces); }
void BM_TitleCase(benchmark::State& s) { runTransform(s, titleCase); }
void BM_ReplaceAllLines(benchmark::State& s) { runTransform(s, [](Lines& l) { replaceAllLines(l, "x.mp3"); }); }
BENCHMARK(BM_UpperCaseNames)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LowerCaseNames)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StripLeadingDigits)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CutBeforeSeparator)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CutAfterSeparator)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NumberLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddPrefix)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddSuffix)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RemoveExtensions)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RemoveBlankLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RemoveSpaces)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TitleCase)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceAllLines)->Unit(benchmark::kMillisecond);

// The whole command through the window, editing area included: "大写文件名".
void BM_UpperCaseThroughTheWindow(benchmark::State& state) {
    ApplicationWindows windows;
    TForm1& form = *windows.Form1;
    form.setEditLines(sampleLines());
    for (auto _ : state) form.N11Click();
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_UpperCaseThroughTheWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

struct BigFolder {
    BigFolder() : root(makeTemporaryFolder()) {
        Mp3Options one;
        one.frames = 1;
        writeMp3Folder(root, kLines, "Track ", one);
    }
    ~BigFolder() { removeTree(root); }
    std::string root;
};

void BM_ListFileNames(benchmark::State& state) {
    static BigFolder folder;
    ApplicationWindows windows;
    TForm1& form = *windows.Form1;
    form.ui.FileListBox1->setDirectory(folder.root);
    for (auto _ : state) form.N5Click();
    if (form.renamedCount() != kLines) state.SkipWithError("not every file listed");
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_ListFileNames)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CopyFileNames(benchmark::State& state) {
    static BigFolder folder;  // a folder of its own: listing leaves the first one as it is
    ApplicationWindows windows;
    TForm1& form = *windows.Form1;
    form.ui.FileListBox1->setDirectory(folder.root);
    for (auto _ : state) form.N43Click();
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_CopyFileNames)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace quilvane::bench
