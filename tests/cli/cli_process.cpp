#include <gtest/gtest.h>

#include "cli_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quilvane::test {

CliResult CliTest::cli(const std::vector<std::string>& args, const std::string& lang, const std::string& input) {
    TempFolder outputs;
    const std::string in = outputs.write("in", input);
    const std::string out = outputs / "out";
    const std::string err = outputs / "err";
    std::vector<std::string> words{QUILVANE_CLI};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    std::vector<std::string> environment{"LANG=" + lang, "XDG_STATE_HOME=" + stateHome.path(), "PATH=/usr/bin:/bin"};
    std::vector<char*> envp;
    for (std::string& e : environment) envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const std::string here = workingFolder.empty() ? folder.path() : workingFolder;
    posix_spawn_file_actions_addchdir_np(&actions, here.c_str());
    pid_t child = 0;
    CliResult result;
    const int spawned = ::posix_spawn(&child, QUILVANE_CLI, &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        ADD_FAILURE() << "cannot start " << QUILVANE_CLI;
        return result;
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = TempFolder::readFile(out);
    result.err = TempFolder::readFile(err);
    return result;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return lines;
}

}  // namespace quilvane::test
