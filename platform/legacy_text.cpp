#include "platform/legacy_text.h"

#include <algorithm>
#include <array>

#include "platform/iconv_converter.h"
#include "platform/text.h"

namespace quilvane {
namespace {

// Windows-1252 for 0x80..0x9F; 0 where it defines nothing.
constexpr std::array<char16_t, 32> kWindows1252High{
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

bool isAsciiText(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool isAsciiLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

char32_t windows1252(unsigned char b) {
    if (b >= 0x80 && b <= 0x9F && kWindows1252High[b - 0x80] != 0) return kWindows1252High[b - 0x80];
    return b;  // Latin-1, and the control characters where 1252 defines nothing
}

std::string decodeWindows1252(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char b : bytes) appendUtf8(out, windows1252(b));
    return out;
}

// --- Judging GBK against Windows-1252 -------------------------------------------------
//
// Each reading scores the high bytes (0x80 and above) of the texts by how typical they
// are of real text in it:
//  - GBK: a pair from GB2312's common characters scores high, its rarer characters a
//    little less, punctuation less again, and GBK's extensions (traditional and rare
//    characters) little, above all those whose second byte is an ASCII one, which is
//    what a Latin letter followed by ASCII looks like. A sequence GBK cannot read rules
//    GBK out.
//  - Windows-1252: an accented letter next to an ASCII letter ("Björk", "Beyoncé")
//    scores high; accented letters next only to other high bytes little (that is what
//    GBK pairs look like as Latin-1: "ÍõÿÆ"); symbols and punctuation little. A byte
//    1252 leaves undefined rules it out.

struct Scores {
    double gbk = 0;
    double latin = 0;
    bool gbkPossible = true;
    bool latinPossible = true;
    int highBytes = 0;
};

double gbkPairScore(unsigned char lead, unsigned char trail) {
    const bool gb2312Trail = trail >= 0xA1 && trail <= 0xFE;
    // GBK's extensions: traditional characters lead with 0x81..0xA0, the rare simplified
    // ones follow; a second byte in the ASCII range is what a Latin letter before an
    // ASCII one looks like.
    if (lead <= 0xA0) return trail < 0x80 ? 0.3 : 1.5;
    if (gb2312Trail && lead >= 0xB0 && lead <= 0xD7) return 3.0;  // common characters
    if (gb2312Trail && lead >= 0xD8 && lead <= 0xF7) return 2.0;  // rarer characters
    if (gb2312Trail && lead >= 0xA1 && lead <= 0xA9) return 1.5;  // punctuation, full-width forms
    if (gb2312Trail) return 0.2;                                   // user-defined areas
    return trail < 0x80 ? 0.3 : 1.0;
}

void scoreGbk(std::string_view t, Scores& s) {
    const auto* p = reinterpret_cast<const unsigned char*>(t.data());
    for (std::size_t i = 0; i < t.size();) {
        const unsigned char lead = p[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if (lead == 0x80 || lead == 0xFF || i + 1 >= t.size()) {
            s.gbkPossible = false;
            return;
        }
        const unsigned char trail = p[i + 1];
        if (trail >= 0x30 && trail <= 0x39) {  // a four-byte GB18030 character
            const bool complete = i + 3 < t.size() && p[i + 2] >= 0x81 && p[i + 2] <= 0xFE && p[i + 3] >= 0x30 && p[i + 3] <= 0x39;
            if (!complete) {
                s.gbkPossible = false;
                return;
            }
            s.gbk += 0.2;
            i += 4;
            continue;
        }
        if (trail < 0x40 || trail == 0x7F || trail == 0xFF) {
            s.gbkPossible = false;
            return;
        }
        s.gbk += gbkPairScore(lead, trail);
        i += 2;
    }
}

bool isLatinLetter(unsigned char b) {
    if (b >= 0xC0) return b != 0xD7 && b != 0xF7;
    return b == 0x8A || b == 0x8C || b == 0x8E || b == 0x9A || b == 0x9C || b == 0x9E || b == 0x9F || b == 0x83;
}

void scoreLatin(std::string_view t, Scores& s) {
    const auto* p = reinterpret_cast<const unsigned char*>(t.data());
    const double before = s.latin;
    int high = 0, asciiLetters = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (p[i] >= 0x80) ++high;
        else if (isAsciiLetter(p[i])) ++asciiLetters;
    }
    for (std::size_t i = 0; i < t.size(); ++i) {
        const unsigned char b = p[i];
        if (b < 0x80) continue;
        ++s.highBytes;
        if (b >= 0x80 && b <= 0x9F && kWindows1252High[b - 0x80] == 0) {
            s.latinPossible = false;
            return;
        }
        const bool prevAscii = i > 0 && isAsciiLetter(p[i - 1]);
        const bool nextAscii = i + 1 < t.size() && isAsciiLetter(p[i + 1]);
        const bool prevHigh = i > 0 && p[i - 1] >= 0x80;
        const bool nextHigh = i + 1 < t.size() && p[i + 1] >= 0x80;
        if (isLatinLetter(b)) {
            if (prevAscii || nextAscii) s.latin += 3.0;
            else if (prevHigh || nextHigh) s.latin += 0.3;
            else s.latin += 1.0;  // a one-letter word, or a letter between blanks
        } else if (b == 0x92 && prevAscii && nextAscii) {
            s.latin += 3.0;  // the apostrophe of "Don’t"
        } else if (b <= 0x9F && (prevHigh || nextHigh)) {
            // Typographic punctuation stands next to words and blanks, not next to other
            // high bytes; GBK's traditional characters begin with these bytes.
            s.latin -= 1.0;
        } else {
            s.latin += (prevHigh || nextHigh) ? 0.2 : 0.8;  // symbols and punctuation
        }
    }
    // Western words are mostly ASCII letters with an accented one here and there; a
    // text made mostly of high bytes is not one of them, whatever its letters look like.
    const bool mostlyHigh = 2 * high > high + asciiLetters || (high >= 2 && 2 * high >= high + asciiLetters);
    if (mostlyHigh && s.latin > before) s.latin = before + (s.latin - before) * 0.25;
}

LegacyReading judge(const Scores& s) {
    if (!s.gbkPossible && !s.latinPossible) return {LegacyCharset::Latin1, 50};
    if (!s.gbkPossible) return {LegacyCharset::Latin1, 100};
    if (!s.latinPossible) return {LegacyCharset::Gbk, 100};
    const double gbk = std::max(0.0, s.gbk), latin = std::max(0.0, s.latin);
    const double total = gbk + latin;
    if (total <= 0) return {LegacyCharset::Gbk, 50};
    // A tie goes to GBK: the program's users are Chinese, and their files are.
    if (gbk >= latin) return {LegacyCharset::Gbk, static_cast<int>(50 + 50 * (gbk - latin) / total)};
    return {LegacyCharset::Latin1, static_cast<int>(50 + 50 * (latin - gbk) / total)};
}

const char* iconvName(LegacyCharset charset) {
    switch (charset) {
    case LegacyCharset::Gbk: return "GB18030";
    case LegacyCharset::Big5: return "BIG5";
    case LegacyCharset::ShiftJis: return "SHIFT_JIS";
    default: return nullptr;
    }
}

IconvConverter& decoderFor(LegacyCharset charset) {
    thread_local IconvConverter gbk("UTF-8", "GB18030"), big5("UTF-8", "BIG5"), sjis("UTF-8", "SHIFT_JIS");
    return charset == LegacyCharset::Big5 ? big5 : charset == LegacyCharset::ShiftJis ? sjis : gbk;
}

IconvConverter& encoderFor(LegacyCharset charset) {
    thread_local IconvConverter gbk("GB18030", "UTF-8"), big5("BIG5", "UTF-8"), sjis("SHIFT_JIS", "UTF-8");
    return charset == LegacyCharset::Big5 ? big5 : charset == LegacyCharset::ShiftJis ? sjis : gbk;
}

// Every high byte an accented letter inside a word of ASCII letters ("Björk",
// "Mötley Crüe"): GBK reads such a byte and the letter after it as one rare character,
// and a GBK text is hardly ever made of those between ASCII letters.
bool plainlyLatinWords(std::string_view t) {
    const auto* p = reinterpret_cast<const unsigned char*>(t.data());
    bool any = false;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (p[i] < 0x80) continue;
        if (!isLatinLetter(p[i]) || i == 0 || i + 1 >= t.size() || !isAsciiLetter(p[i - 1]) || !isAsciiLetter(p[i + 1]))
            return false;
        any = true;
    }
    return any;
}

// Every high byte part of a pair of GB2312's characters (not its punctuation), at least
// `minPairs` of them, none of them inside a word of ASCII letters the way two accented
// letters stand in "Coração": what Latin-1 would read as runs of accented capitals.
bool plainlyChinese(std::string_view t, int minPairs) {
    const auto* p = reinterpret_cast<const unsigned char*>(t.data());
    int pairs = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (p[i] < 0x80) continue;
        if (i + 1 >= t.size() || p[i] < 0xB0 || p[i] > 0xF7 || p[i + 1] < 0xA1 || p[i + 1] > 0xFE) return false;
        if (i > 0 && i + 2 < t.size() && isAsciiLetter(p[i - 1]) && isAsciiLetter(p[i + 2])) return false;
        ++pairs;
        ++i;
    }
    return pairs >= minPairs;
}

}  // namespace

LegacyReading detectLegacy(const std::vector<std::string_view>& texts) {
    if (std::all_of(texts.begin(), texts.end(), isAsciiText)) return {LegacyCharset::Ascii, 100};
    if (std::all_of(texts.begin(), texts.end(), [](std::string_view t) { return isValidUtf8(t); }))
        return {LegacyCharset::Utf8, 100};
    Scores total;
    for (std::string_view t : texts) {
        if (isAsciiText(t) || isValidUtf8(t)) continue;
        Scores one;
        scoreGbk(t, one);
        scoreLatin(t, one);
        // A text only one reading can read does not rule the other out for its tag (a
        // Latin-1 "Café" typed into a GBK tag by another program): it is read its own way
        // (decodeInTag) and counts with the weight of what it holds.
        if (!one.gbkPossible && one.latinPossible) total.latin += one.latin;
        else if (!one.latinPossible && one.gbkPossible) total.gbk += one.gbk;
        else if (one.gbkPossible && one.latinPossible) {
            total.gbk += one.gbk;
            total.latin += one.latin;
        }
    }
    return judge(total);
}

LegacyReading detectTagLegacy(const std::vector<std::string_view>& texts) {
    const LegacyReading reading = detectLegacy(texts);
    if (reading.charset != LegacyCharset::Utf8) return reading;
    for (std::string_view t : texts)
        if (!isAsciiText(t) && !plainlyChinese(t, 1)) return reading;
    return {LegacyCharset::Gbk, 75};
}

bool readsAs(std::string_view bytes, LegacyCharset charset) {
    switch (charset) {
    case LegacyCharset::Ascii: return isAsciiText(bytes);
    case LegacyCharset::Utf8: return isValidUtf8(bytes);
    case LegacyCharset::Latin1:
        return std::none_of(bytes.begin(), bytes.end(), [](char c) {
            const auto b = static_cast<unsigned char>(c);
            return b >= 0x80 && b <= 0x9F && kWindows1252High[b - 0x80] == 0;
        });
    default: {
        std::string ignored;
        return decoderFor(charset).convert(bytes, ignored);
    }
    }
}

std::string decodeLegacy(std::string_view bytes, LegacyCharset charset) {
    if (isAsciiText(bytes)) return std::string(bytes);
    if (charset == LegacyCharset::Utf8 && isValidUtf8(bytes)) return std::string(bytes);
    if (iconvName(charset) != nullptr) {
        std::string out;
        if (decoderFor(charset).convert(bytes, out)) return out;
    }
    return decodeWindows1252(bytes);
}

std::string decodeInTag(std::string_view bytes, LegacyReading tag) {
    if (isAsciiText(bytes)) return std::string(bytes);
    if (isValidUtf8(bytes) && (tag.charset == LegacyCharset::Utf8 || !readsAs(bytes, tag.charset)))
        return std::string(bytes);
    if (readsAs(bytes, tag.charset)) {
        // A field that is plainly the other reading (a Latin-1 "Björk" beside Chinese
        // titles, a GBK title beside "Mötley Crüe") is read its own way.
        if (tag.charset == LegacyCharset::Gbk && plainlyLatinWords(bytes)) return decodeLegacy(bytes, LegacyCharset::Latin1);
        if (tag.charset == LegacyCharset::Latin1 && plainlyChinese(bytes, 2)) return decodeLegacy(bytes, LegacyCharset::Gbk);
        return decodeLegacy(bytes, tag.charset);
    }
    // Not readable as its tag: the other common reading.
    return decodeLegacy(bytes, readsAs(bytes, LegacyCharset::Gbk) ? LegacyCharset::Gbk : LegacyCharset::Latin1);
}

std::optional<std::string> encodeLegacy(std::string_view utf8, LegacyCharset charset) {
    if (isAsciiText(utf8) || charset == LegacyCharset::Utf8) return std::string(utf8);
    if (charset == LegacyCharset::Latin1) {
        std::string out;
        for (std::size_t i = 0; i < utf8.size();) {
            const std::string_view ch = firstCharacter(utf8.substr(i));
            i += ch.size();
            const auto* b = reinterpret_cast<const unsigned char*>(ch.data());
            char32_t cp = b[0];
            if (ch.size() == 2) cp = (b[0] & 0x1F) << 6 | (b[1] & 0x3F);
            else if (ch.size() == 3) cp = (b[0] & 0x0F) << 12 | (b[1] & 0x3F) << 6 | (b[2] & 0x3F);
            else if (ch.size() != 1) return std::nullopt;
            if (cp >= 0xA0 && cp <= 0xFF) {
                out += static_cast<char>(cp);
                continue;
            }
            if (cp < 0x80) {
                out += static_cast<char>(cp);
                continue;
            }
            const auto at = std::find(kWindows1252High.begin(), kWindows1252High.end(), cp);
            if (at == kWindows1252High.end() || cp == 0) return std::nullopt;
            out += static_cast<char>(0x80 + (at - kWindows1252High.begin()));
        }
        return out;
    }
    if (charset == LegacyCharset::Ascii) return std::nullopt;
    std::string out;
    if (!encoderFor(charset).convert(utf8, out)) return std::nullopt;
    return out;
}

std::string charsetName(LegacyCharset charset) {
    switch (charset) {
    case LegacyCharset::Ascii: return "ASCII";
    case LegacyCharset::Utf8: return "UTF-8";
    case LegacyCharset::Gbk: return "GBK";
    case LegacyCharset::Latin1: return "Latin-1";
    case LegacyCharset::Big5: return "Big5";
    case LegacyCharset::ShiftJis: return "Shift-JIS";
    }
    return "";
}

}  // namespace quilvane
