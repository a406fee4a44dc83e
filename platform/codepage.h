#pragma once
// The legacy code page of texts the program writes into 8-bit fields (ID3v1), and the
// byte widths of such fields. Reading is detection (platform/legacy_text.h); writing
// takes the reading of the tag the text goes into, where it has one. Inside the program
// all text is UTF-8.
#include <string>
#include <string_view>

#include "platform/legacy_text.h"

namespace quilvane {

// One text read on its own (legacyText).
std::string legacyToUtf8(std::string_view bytes);
// In a GBK tag, GB18030 (a superset of GBK, so every Unicode text can be written).
// Elsewhere Windows-1252 when every character has a place in it, so that old players
// and other tag readers, which take such bytes as Latin-1, show it unchanged; GB18030
// for the rest.
std::string utf8ToLegacy(std::string_view text, LegacyCharset preferred = LegacyCharset::Latin1);

// The longest prefix of legacy bytes that fits `width` bytes without splitting a
// character (a character that does not fit is dropped whole).
std::string_view cutLegacyToWidth(std::string_view bytes, std::size_t width);
// The longest beginning of `text` (whole characters) whose legacy bytes fit `width`.
std::string fitToLegacyWidth(std::string_view text, std::size_t width,
                             LegacyCharset preferred = LegacyCharset::Latin1);
// utf8ToLegacy of fitToLegacyWidth.
std::string utf8ToLegacyWidth(std::string_view text, std::size_t width,
                              LegacyCharset preferred = LegacyCharset::Latin1);

}  // namespace quilvane
