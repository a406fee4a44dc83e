// quilvane-cli: the program's commands from a terminal.
#include <cstdio>
#include <exception>
#include <string>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/output.h"

using namespace quilvane::cli;

namespace {

int dispatch(const std::string& command, const Words& words) {
    if (command == "name") return nameCommand(words);
    if (command == "undo") return undoCommand(words);
    if (command == "tags") return tagsCommand(words);
    if (command == "repair") return repairCommand(words);
    if (command == "sort") return sortCommand(words);
    throw UsageError(say("不认识的命令 ", "unknown command ") + command);
}

}  // namespace

int main(int argc, char** argv) {
    const Words all(argv + 1, argv + argc);
    if (all.empty()) {
        std::fputs(helpText("").c_str(), stderr);
        return kBadUsage;
    }
    const std::string& command = all[0];
    const Words words(all.begin() + 1, all.end());
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(helpText(words.empty() ? "" : words[0]).c_str(), stdout);
        return kSuccess;
    }
    if (wantsHelp(words)) {
        std::fputs(helpText(command).c_str(), stdout);
        return kSuccess;
    }
    try {
        const int status = dispatch(command, words);
        std::fflush(stdout);
        return status;
    } catch (const UsageError& e) {
        printProblem(std::string("quilvane-cli: ") + e.what());
        printProblem(say("用 quilvane-cli --help 查看用法", "see quilvane-cli --help"));
        return kBadUsage;
    } catch (const std::exception& e) {
        printProblem(std::string("quilvane-cli: ") + e.what());
        return kSomeFailed;
    }
}
