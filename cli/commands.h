#pragma once
// The subcommands of quilvane-cli. Each takes the words after its name and returns the
// exit status; a UsageError thrown means bad usage.
#include <string>
#include <vector>

namespace quilvane::cli {

using Words = std::vector<std::string>;

int nameCommand(const Words& words);
int undoCommand(const Words& words);
int tagsCommand(const Words& words);
int repairCommand(const Words& words);
int sortCommand(const Words& words);

// The help of the program or of one subcommand ("" for the program's), in the user's language.
std::string helpText(const std::string& subcommand);
// True when the words ask for help.
bool wantsHelp(const Words& words);

}  // namespace quilvane::cli
