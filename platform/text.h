#pragma once
// Small text helpers on UTF-8 strings. Bytes of multi-byte UTF-8 characters are all
// 0x80 or above, so byte-wise trimming of control characters and ASCII case changes
// never touch them.
#include <string>
#include <string_view>

namespace quilvane {

// Removes every character of code 32 or less from both ends.
std::string_view trimBlanks(std::string_view text);
std::string_view trimLeadingBlanks(std::string_view text);
// True when nothing is left after trimBlanks.
bool isBlank(std::string_view text);

bool isValidUtf8(std::string_view text);
// Number of characters (code points); an invalid byte counts as one character.
std::size_t characterCount(std::string_view text);
// The first character of the text (empty for an empty text).
std::string_view firstCharacter(std::string_view text);

std::string asciiUpper(std::string_view text);
std::string asciiLower(std::string_view text);
// Comparison ignoring the case of ASCII letters; other bytes compare as unsigned.
int compareIgnoringAsciiCase(std::string_view a, std::string_view b);
bool startsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix);

}  // namespace quilvane
