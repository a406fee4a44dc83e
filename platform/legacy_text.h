#pragma once
// 8-bit text of unknown encoding, as old tags, old text files and old file names hold
// it: Chinese written on Chinese Windows (GBK), Western text written elsewhere
// (Latin-1 / Windows-1252), and ASCII or UTF-8 that needs nothing. The encoding is
// detected, never assumed: "Björk" in Latin-1 is also a valid GBK byte sequence, so
// reading everything as GBK turns it into "Bj鰎k".
//
// Texts that belong together (the legacy fields of one tag) are judged together, which
// gives the judgement enough bytes; a text that cannot be read the way its tag was
// judged (a Latin-1 "Café" typed into a GBK tag) is read the other way.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quilvane {

enum class LegacyCharset : std::uint8_t {
    Ascii,
    Utf8,
    Gbk,     // GB18030, a superset of GBK
    Latin1,  // Windows-1252, a superset of the printable ISO-8859-1
    Big5,    // offered as another reading; never chosen by the detector
    ShiftJis,
};

struct LegacyReading {
    LegacyCharset charset = LegacyCharset::Ascii;
    int confidence = 100;  // 50 (a coin toss) to 100 (no other reading possible)
};

// How texts that belong together are encoded.
LegacyReading detectLegacy(const std::vector<std::string_view>& texts);
inline LegacyReading detectLegacy(std::string_view text) { return detectLegacy(std::vector<std::string_view>{text}); }

// As detectLegacy, for the texts of a tag, where UTF-8 is rare and GBK common: texts
// that are valid UTF-8 only by chance (GBK "未知" is CE B4 D6 AA, which UTF-8 reads
// as "δ֪") and whose every high byte is part of a GB2312 character are GBK.
LegacyReading detectTagLegacy(const std::vector<std::string_view>& texts);

// The bytes read in that charset; never fails (bytes the charset cannot read are read
// as Windows-1252, and bytes it leaves undefined as the Latin-1 control characters).
std::string decodeLegacy(std::string_view bytes, LegacyCharset charset);
// Whether the bytes are a complete, valid text in that charset.
bool readsAs(std::string_view bytes, LegacyCharset charset);
// The text (UTF-8) in that charset's bytes; nothing when a character has no place in it.
std::optional<std::string> encodeLegacy(std::string_view utf8, LegacyCharset charset);

// A text read as its tag was judged, or the other way when it cannot be read so.
std::string decodeInTag(std::string_view bytes, LegacyReading tag);
// One text on its own (a file name, a file of names).
inline std::string legacyText(std::string_view bytes) { return decodeInTag(bytes, detectLegacy(bytes)); }

// The name of the charset for people: "GBK", "Latin-1", "UTF-8"...
std::string charsetName(LegacyCharset charset);

}  // namespace quilvane
