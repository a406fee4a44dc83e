#pragma once
// Runs quilvane-cli as a separate process, with its own state folder (the rename journal)
// and locale, and gives back its exit status and what it printed.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace quilvane::test {

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

class CliTest : public ::testing::Test {
protected:
    // Runs `quilvane-cli args...` in `folder` with LANG=`lang`, `input` on its standard input.
    CliResult cli(const std::vector<std::string>& args, const std::string& lang = "C.UTF-8", const std::string& input = "");

    TempFolder folder;
    TempFolder stateHome;
    std::string workingFolder;  // where the command runs; `folder` when empty
};

// The lines of a text, without their line ends.
std::vector<std::string> linesOf(const std::string& text);

}  // namespace quilvane::test
