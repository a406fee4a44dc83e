#pragma once
// The legacy code page: tag bytes and old text files hold 8-bit text, read and written
// as GB18030 (a superset of GBK, so every GBK byte sequence reads the same and every
// Unicode text can be written). Bytes that are not valid GB18030, such as the Latin-1
// "Café" of an old tag, are read as ISO-8859-1 instead of being shown as garbage.
// Inside the program all text is UTF-8.
#include <string>
#include <string_view>

namespace quilvane {

std::string legacyToUtf8(std::string_view bytes);
// GB18030, except that a text made only of Latin-1 characters is written as Latin-1
// when those bytes read back as the same text, so that old players and other tag
// readers, which take such bytes as Latin-1, show it unchanged too.
std::string utf8ToLegacy(std::string_view text);

// The longest prefix of legacy bytes that fits `width` bytes without splitting a
// character (a character that does not fit is dropped whole).
std::string_view cutLegacyToWidth(std::string_view bytes, std::size_t width);
// The longest beginning of `text` (whole characters) whose legacy bytes fit `width`.
std::string fitToLegacyWidth(std::string_view text, std::size_t width);
// utf8ToLegacy of fitToLegacyWidth.
std::string utf8ToLegacyWidth(std::string_view text, std::size_t width);

}  // namespace quilvane
