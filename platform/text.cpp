#include "platform/text.h"

namespace quilvane {
namespace {

bool isBlankByte(char c) { return static_cast<unsigned char>(c) <= 32; }

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

// Length of the UTF-8 sequence starting at text[i], or 0 when it is not a valid one.
std::size_t sequenceLength(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4) length = 4;
    else return 0;
    if (i + length > text.size()) return 0;
    for (std::size_t k = 1; k < length; ++k)
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 0;
    const auto second = static_cast<unsigned char>(text[i + 1]);
    if (lead == 0xE0 && second < 0xA0) return 0;   // overlong
    if (lead == 0xED && second > 0x9F) return 0;   // surrogates
    if (lead == 0xF0 && second < 0x90) return 0;   // overlong
    if (lead == 0xF4 && second > 0x8F) return 0;   // beyond U+10FFFF
    return length;
}

}  // namespace

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlankByte(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlankByte(text.back())) text.remove_suffix(1);
    return text;
}

std::string_view trimLeadingBlanks(std::string_view text) {
    while (!text.empty() && isBlankByte(text.front())) text.remove_prefix(1);
    return text;
}

bool isBlank(std::string_view text) { return trimBlanks(text).empty(); }

bool isValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = sequenceLength(text, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

std::size_t characterCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++count) {
        const std::size_t n = sequenceLength(text, i);
        i += n == 0 ? 1 : n;
    }
    return count;
}

std::string_view firstCharacter(std::string_view text) {
    if (text.empty()) return text;
    const std::size_t n = sequenceLength(text, 0);
    return text.substr(0, n == 0 ? 1 : n);
}

std::string asciiUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = upperAscii(c);
    return out;
}

std::string asciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = lowerAscii(c);
    return out;
}

int compareIgnoringAsciiCase(std::string_view a, std::string_view b) {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(lowerAscii(a[i]));
        const auto y = static_cast<unsigned char>(lowerAscii(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool startsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           compareIgnoringAsciiCase(text.substr(0, prefix.size()), prefix) == 0;
}

}  // namespace quilvane
