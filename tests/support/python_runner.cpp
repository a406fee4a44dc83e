#include "support/python_runner.h"

#include <cstdio>
#include <sys/wait.h>

#include "support/temp_folder.h"

namespace quilvane::test {
namespace {

std::string quoted(const std::string& arg) {
    std::string out = "'";
    for (char c : arg) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string fromHex(const std::string& hex) {
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return out;
}

}  // namespace

PythonResult runPython(const std::string& script, const std::vector<std::string>& args) {
    TempFolder dir;
    const std::string file = dir.write("script.py", script);
    std::string command = "/usr/bin/python3 " + quoted(file);
    for (const std::string& a : args) command += " " + quoted(a);
    command += " 2>&1";
    PythonResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) result.output.append(buffer, n);
    const int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::size_t start = 0;
    while (start < result.output.size()) {
        const std::size_t end = result.output.find('\n', start);
        const std::string line = result.output.substr(start, end == std::string::npos ? std::string::npos : end - start);
        const auto eq = line.find('=');
        if (eq != std::string::npos) result.values[line.substr(0, eq)] = fromHex(line.substr(eq + 1));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return result;
}

}  // namespace quilvane::test
