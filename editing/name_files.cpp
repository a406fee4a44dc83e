#include "editing/name_files.h"

#include <fstream>
#include <sstream>

#include "platform/codepage.h"
#include "platform/text.h"

namespace quilvane {

std::vector<std::string> splitNameText(std::string_view bytes) {
    bytes = bytes.substr(0, bytes.find('\0'));
    const std::string text = isValidUtf8(bytes) ? std::string(bytes) : legacyToUtf8(bytes);
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    // A break at the very end makes no extra empty line.
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::optional<std::vector<std::string>> readNameFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::stringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return splitNameText(bytes.str());
}

bool writeNameFile(const std::string& path, const std::vector<std::string>& lines) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    for (const std::string& line : lines) out << line << "\r\n";
    out.flush();
    return static_cast<bool>(out);
}

}  // namespace quilvane
