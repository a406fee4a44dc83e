#pragma once
// Runs a Python script with Debian's interpreter (where python3-mutagen is installed)
// as a separate process, and reads back "key=hex" lines it prints.
#include <map>
#include <string>
#include <vector>

namespace quilvane::test {

struct PythonResult {
    int exitCode = -1;
    std::string output;
    std::map<std::string, std::string> values;  // "key=hex" lines, hex decoded
};

PythonResult runPython(const std::string& script, const std::vector<std::string>& args);

}  // namespace quilvane::test
