// quilvane-cli over 10,000 tagged MP3 files in 100 folders, run as the process a script
// starts, beside plain loops of the same system calls in this process:
//  - `tags show --json` on every file, against open, fstat, two preads, close and the
//    line written out;
//  - `name template --tree --template Ar_T` (journaled, as a real run is), against
//    reading each file's last 128 bytes and renameat2(RENAME_NOREPLACE).
// Each naming round is undone outside the timing (`quilvane-cli undo`, or the loop's own
// renames back).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "mp3_generator.h"
#include "naming/id3_naming.h"
#include "naming/tree_walk.h"
#include "platform/paths.h"
#include "tags/tag_block.h"

namespace quilvane::bench {
namespace {

constexpr int kFolders = 100;
constexpr int kPerFolder = 100;

struct Tree {
    Tree() : root(makeTemporaryFolder()), state(makeTemporaryFolder()) {
        Mp3Options options;
        options.id3v1 = options.id3v2 = true;
        paths = writeMp3Tree(root, kFolders, kPerFolder, options);
        // Distinct titles, so that every file can take its new name.
        for (std::size_t n = 0; n < paths.size(); ++n) {
            TagBlock tag = readTagBlock(paths[n]);
            tag.setField(tagfield::Title, "Title " + std::to_string(n));
            writeTagBlock(paths[n], tag);
        }
    }
    ~Tree() {
        removeTree(root);
        removeTree(state);
    }
    std::string root;
    std::string state;  // the CLI's XDG_STATE_HOME: its rename journal
    std::vector<std::string> paths;
};

Tree& tree() {
    static Tree t;
    return t;
}

// Runs quilvane-cli with `args`, its output thrown away; returns its exit status.
int runCli(std::vector<std::string> args) {
    args.insert(args.begin(), QUILVANE_CLI);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::string stateHome = "XDG_STATE_HOME=" + tree().state;
    std::string lang = "LANG=C.UTF-8";
    char* envp[] = {stateHome.data(), lang.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int spawned = ::posix_spawn(&child, QUILVANE_CLI, &actions, nullptr, argv.data(), envp);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void BM_CliTagsShowJson(benchmark::State& state) {
    std::vector<std::string> args{"tags", "show", "--json"};
    args.insert(args.end(), tree().paths.begin(), tree().paths.end());
    for (auto _ : state)
        if (runCli(args) != 0) state.SkipWithError("tags show failed");
    state.SetItemsProcessed(state.iterations() * kFolders * kPerFolder);
}
BENCHMARK(BM_CliTagsShowJson)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PlainReadAndPrintLoop(benchmark::State& state) {
    FILE* out = std::fopen("/dev/null", "w");
    char head[1024];
    char tail[128];
    for (auto _ : state) {
        for (const std::string& path : tree().paths) {
            const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            struct stat st {};
            ::fstat(fd, &st);
            const ssize_t got = ::pread(fd, head, sizeof head, 0);
            ::pread(fd, tail, sizeof tail, st.st_size - 128);
            ::close(fd);
            std::fprintf(out, "{\"path\":\"%s\",\"bytes\":%zd,\"title\":\"%.30s\"}\n", path.c_str(), got, tail + 3);
        }
    }
    std::fclose(out);
    state.SetItemsProcessed(state.iterations() * kFolders * kPerFolder);
}
BENCHMARK(BM_PlainReadAndPrintLoop)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CliNameTemplateTree(benchmark::State& state) {
    for (auto _ : state) {
        if (runCli({"name", "template", tree().root, "--template", "Ar_T", "--tree"}) != 0)
            state.SkipWithError("name template failed");
        state.PauseTiming();
        if (runCli({"undo"}) != 0) state.SkipWithError("undo failed");
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kFolders * kPerFolder);
}
BENCHMARK(BM_CliNameTemplateTree)->Unit(benchmark::kMillisecond)->UseRealTime();

int renameNoReplace(const std::string& from, const std::string& to) {
    return static_cast<int>(::syscall(SYS_renameat2, AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), 1));
}

void BM_PlainPreadAndRenameLoop(benchmark::State& state) {
    std::vector<std::string> renamed(tree().paths.size());
    char tail[128];
    for (auto _ : state) {
        for (std::size_t i = 0; i < tree().paths.size(); ++i) {
            const std::string& path = tree().paths[i];
            const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            struct stat st {};
            ::fstat(fd, &st);
            ::pread(fd, tail, sizeof tail, st.st_size - 128);
            ::close(fd);
            // "Artist-Title 12.mp3", as the template makes it.
            renamed[i] = joinPath(folderOf(path), std::string(tail + 33, ::strnlen(tail + 33, 30)) + "-" +
                                                      std::string(tail + 3, ::strnlen(tail + 3, 30)) + ".mp3");
            if (renameNoReplace(path, renamed[i]) != 0) state.SkipWithError("rename failed");
        }
        state.PauseTiming();
        for (std::size_t i = 0; i < tree().paths.size(); ++i) renameNoReplace(renamed[i], tree().paths[i]);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kFolders * kPerFolder);
}
BENCHMARK(BM_PlainPreadAndRenameLoop)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace quilvane::bench

BENCHMARK_MAIN();
