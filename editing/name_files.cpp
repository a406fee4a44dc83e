#include "editing/name_files.h"

#include <algorithm>

#include "platform/file_io.h"
#include "platform/legacy_text.h"
#include "platform/temporary_file.h"
#include "platform/text.h"

namespace quilvane {

std::vector<std::string> splitNameText(std::string_view bytes) {
    bytes = bytes.substr(0, bytes.find('\0'));
    const std::string text = isValidUtf8(bytes) ? std::string(bytes) : legacyText(bytes);
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

std::optional<std::vector<std::string>> readNameFile(const std::string& path, bool* notText) {
    if (notText) *notText = false;
    try {
        const OpenFile file = OpenFile::forReading(path);
        const std::string bytes = file.readStringAt(0, static_cast<std::size_t>(file.size()));
        // Names taken from a song or a picture would rename files to junk: control bytes
        // other than line ends and tabs, or text (up to a zero byte, which ends it) that
        // neither UTF-8 nor GB18030 reads.
        const std::string_view text = std::string_view(bytes).substr(0, bytes.find('\0'));
        const bool control = std::any_of(bytes.begin(), bytes.end(), [](char c) {
            const auto b = static_cast<unsigned char>(c);
            return b < 0x20 && b != 0 && b != '\t' && b != '\n' && b != '\r' && b != '\f' && b != '\v';
        });
        if (control || (!isValidUtf8(text) && !readsAs(text, LegacyCharset::Gbk))) {
            if (notText) *notText = true;
            return std::nullopt;
        }
        return splitNameText(bytes);
    } catch (const FileError&) {
        return std::nullopt;  // missing, unreadable, or a pipe or device
    }
}

// The file is written whole beside its place and put there at once: a full disk leaves
// the list saved before as it was.
bool writeNameFile(const std::string& path, const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    TemporaryFile out(path);
    return out.error() == 0 && out.write(text) == 0 && out.finish(true) == 0 && out.replaceTarget() == 0;
}

}  // namespace quilvane
