#include "cli/output.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/display_name.h"
#include "platform/text.h"

namespace quilvane::cli {

bool speaksChinese() {
    static const bool chinese = [] {
        for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
            const char* value = std::getenv(variable);
            if (value != nullptr && *value != '\0') return std::string_view(value).starts_with("zh");
        }
        return false;
    }();
    return chinese;
}

std::string say(const std::string& chinese, const std::string& english) { return speaksChinese() ? chinese : english; }

std::string jsonString(std::string_view text) {
    const std::string valid = isValidUtf8(text) ? std::string(text) : displayName(text);
    std::string out = "\"";
    for (const char c : valid) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (u < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

std::string hexOf(std::string_view bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (const unsigned char c : bytes) out += {digits[c >> 4], digits[c & 15]};
    return out;
}

void printLine(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

void printProblem(const std::string& line) {
    std::fflush(stdout);
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fputc('\n', stderr);
}

Progress::Progress() : terminal_(::isatty(STDERR_FILENO) == 1) {}

Progress::~Progress() { clear(); }

void Progress::show(const std::string& text) {
    if (!terminal_) return;
    const auto now = std::chrono::steady_clock::now();
    if (shown_ && now - last_ < std::chrono::milliseconds(100)) return;
    last_ = now;
    std::fprintf(stderr, "\r\033[K%s", text.c_str());
    std::fflush(stderr);
    shown_ = true;
}

void Progress::clear() {
    if (!shown_) return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    shown_ = false;
}

}  // namespace quilvane::cli
