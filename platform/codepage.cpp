#include "platform/codepage.h"

#include "platform/text.h"

namespace quilvane {
namespace {

bool isAscii(std::string_view bytes) {
    for (unsigned char c : bytes)
        if (c >= 0x80) return false;
    return true;
}

// Length of the GB18030 character at bytes[i]: 1, 2 or 4; 0 when the bytes end inside it.
std::size_t legacyCharacterLength(std::string_view bytes, std::size_t i) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x81 || lead == 0xFF) return 1;
    if (i + 1 >= bytes.size()) return 0;
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    if (second >= 0x30 && second <= 0x39) return i + 3 < bytes.size() ? 4 : 0;
    return 2;
}

}  // namespace

std::string legacyToUtf8(std::string_view bytes) { return legacyText(bytes); }

std::string utf8ToLegacy(std::string_view text, LegacyCharset preferred) {
    if (isAscii(text)) return std::string(text);
    if (preferred == LegacyCharset::Gbk) return encodeLegacy(text, LegacyCharset::Gbk).value_or(std::string(text));
    // Latin-1 when every character has a place in it, so that Western players show it.
    if (auto latin = encodeLegacy(text, LegacyCharset::Latin1)) return *latin;
    return encodeLegacy(text, LegacyCharset::Gbk).value_or(std::string(text));
}

std::string_view cutLegacyToWidth(std::string_view bytes, std::size_t width) {
    std::size_t end = 0;
    while (end < bytes.size()) {
        const std::size_t n = legacyCharacterLength(bytes, end);
        if (n == 0 || end + n > width) break;
        end += n;
    }
    return bytes.substr(0, end);
}

std::string fitToLegacyWidth(std::string_view text, std::size_t width, LegacyCharset preferred) {
    // Every character takes at least one byte, so no more than `width` of them can fit.
    std::size_t end = 0;
    for (std::size_t count = 0; end < text.size() && count < width; ++count)
        end += firstCharacter(text.substr(end)).size();
    std::string_view fitting = text.substr(0, end);
    while (!fitting.empty() && utf8ToLegacy(fitting, preferred).size() > width) {
        std::size_t last = fitting.size() - 1;
        while (last > 0 && (static_cast<unsigned char>(fitting[last]) & 0xC0) == 0x80) --last;
        fitting = fitting.substr(0, last);
    }
    return std::string(fitting);
}

std::string utf8ToLegacyWidth(std::string_view text, std::size_t width, LegacyCharset preferred) {
    return utf8ToLegacy(fitToLegacyWidth(text, width, preferred), preferred);
}

}  // namespace quilvane
