#pragma once
// How quilvane-cli speaks: Chinese when the locale is Chinese, English otherwise; results
// on standard output, problems and progress on standard error; progress only when
// standard error is a terminal, so scripts and pipes get clean output.
#include <chrono>
#include <string>
#include <string_view>

namespace quilvane::cli {

enum ExitStatus { kSuccess = 0, kSomeFailed = 1, kBadUsage = 2, kInterrupted = 130 };

bool speaksChinese();
// The text in the user's language.
std::string say(const std::string& chinese, const std::string& english);

// A JSON string literal of the text (bytes that are not UTF-8 read as the legacy code page).
std::string jsonString(std::string_view text);

// The bytes in hexadecimal: a name that is not UTF-8, for scripts that need its bytes.
std::string hexOf(std::string_view bytes);

void printLine(const std::string& line);   // standard output
void printProblem(const std::string& line);  // standard error

// A line on standard error rewritten in place, at most ten times a second.
class Progress {
public:
    Progress();
    ~Progress();
    void show(const std::string& text);
    // Clears the line before other output.
    void clear();

private:
    bool terminal_;
    bool shown_ = false;
    std::chrono::steady_clock::time_point last_{};
};

}  // namespace quilvane::cli
