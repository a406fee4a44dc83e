#include "tags/id3v2_frames.h"

#include <algorithm>

#include "platform/codepage.h"
#include "platform/text.h"

namespace quilvane::id3v2 {
namespace {

const unsigned char* bytesOf(std::string_view s) { return reinterpret_cast<const unsigned char*>(s.data()); }

bool isAsciiText(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// One UTF-16 string (no terminator), with or without a BOM.
std::string utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    const unsigned char* p = bytesOf(bytes);
    std::size_t n = bytes.size() / 2 * 2;
    std::size_t i = 0;
    if (n >= 2 && p[0] == 0xFF && p[1] == 0xFE) bigEndian = false, i = 2;
    else if (n >= 2 && p[0] == 0xFE && p[1] == 0xFF) bigEndian = true, i = 2;
    const auto unit = [&](std::size_t at) -> char16_t {
        return bigEndian ? static_cast<char16_t>(p[at] << 8 | p[at + 1])
                         : static_cast<char16_t>(p[at + 1] << 8 | p[at]);
    };
    std::string out;
    for (; i < n; i += 2) {
        char32_t cp = unit(i);
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 3 < n) {
            const char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            } else {
                cp = 0xFFFD;
            }
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        appendUtf8(out, cp);
    }
    return out;
}

std::string utf8ToUtf16le(std::string_view text) {
    std::string out;
    const auto put = [&out](char16_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    };
    for (std::size_t i = 0; i < text.size();) {
        const std::string_view ch = firstCharacter(text.substr(i));
        const auto* b = bytesOf(ch);
        char32_t cp = 0xFFFD;
        if (ch.size() == 1 && b[0] < 0x80) cp = b[0];
        else if (ch.size() == 2) cp = (b[0] & 0x1F) << 6 | (b[1] & 0x3F);
        else if (ch.size() == 3) cp = (b[0] & 0x0F) << 12 | (b[1] & 0x3F) << 6 | (b[2] & 0x3F);
        else if (ch.size() == 4) cp = (b[0] & 0x07) << 18 | (b[1] & 0x3F) << 12 | (b[2] & 0x3F) << 6 | (b[3] & 0x3F);
        if (cp >= 0x10000) {
            put(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            put(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            put(static_cast<char16_t>(cp));
        }
        i += ch.size();
    }
    return out;
}

std::string decodeOne(std::uint8_t encoding, std::string_view bytes, LegacyReading legacy) {
    switch (encoding) {
    case 1: return utf16ToUtf8(bytes, false);
    case 2: return utf16ToUtf8(bytes, true);
    case 3:
        if (isValidUtf8(bytes)) return std::string(bytes);
        return decodeInTag(bytes, legacy);  // a writer that called its legacy bytes UTF-8
    default: return decodeInTag(bytes, legacy);
    }
}

bool validFrameId(std::string_view id) {
    return std::all_of(id.begin(), id.end(), [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); });
}

std::string_view withoutTrailingZeros(std::string_view bytes) {
    while (!bytes.empty() && bytes.back() == '\0') bytes.remove_suffix(1);
    return bytes;
}

// Text values show without the blanks and control characters around them.
std::string cleaned(std::string text) { return std::string(trimBlanks(text)); }

// 2.4 sizes are synchsafe, but some writers put plain numbers there: take the reading
// that lands on the next frame (or the end) when only one of them does.
std::uint32_t frameSize24(std::string_view area, std::size_t pos) {
    const unsigned char* p = bytesOf(area) + pos + 4;
    const std::uint32_t plain = readBigEndian(p, 4);
    if ((p[0] | p[1] | p[2] | p[3]) & 0x80) return plain;
    const std::uint32_t synchsafe = readSynchsafe(p);
    if (synchsafe == plain) return synchsafe;
    const auto landsWell = [&](std::uint64_t size) {
        const std::uint64_t next = pos + 10 + size;
        if (next == area.size()) return true;
        if (next + 4 > area.size()) return false;
        const std::string_view id = area.substr(next, 4);
        return id[0] == '\0' || validFrameId(id);
    };
    if (!landsWell(synchsafe) && landsWell(plain)) return plain;
    return synchsafe;
}

}  // namespace

std::uint32_t readSynchsafe(const unsigned char* p) {
    return (p[0] & 0x7Fu) << 21 | (p[1] & 0x7Fu) << 14 | (p[2] & 0x7Fu) << 7 | (p[3] & 0x7Fu);
}

void putSynchsafe(std::string& out, std::uint32_t value) {
    for (int shift = 21; shift >= 0; shift -= 7) out += static_cast<char>((value >> shift) & 0x7F);
}

std::uint32_t readBigEndian(const unsigned char* p, int bytes) {
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value = value << 8 | p[i];
    return value;
}

void putBigEndian(std::string& out, std::uint32_t value, int bytes) {
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

std::string removeUnsynchronisation(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out += bytes[i];
        if (static_cast<unsigned char>(bytes[i]) == 0xFF && i + 1 < bytes.size() && bytes[i + 1] == '\0') ++i;
    }
    return out;
}

std::optional<std::pair<std::size_t, std::size_t>> findTerminated(std::uint8_t encoding, std::string_view bytes) {
    if (encoding == 1 || encoding == 2) {
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
            if (bytes[i] == '\0' && bytes[i + 1] == '\0') return std::make_pair(i, i + 2);
        return std::nullopt;
    }
    const auto at = bytes.find('\0');
    if (at == std::string_view::npos) return std::nullopt;
    return std::make_pair(at, at + 1);
}

std::string_view legacyPart(std::string_view content) {
    if (content.empty()) return {};
    const auto encoding = static_cast<unsigned char>(content[0]);
    if (encoding == 0 || (encoding == 3 && !isValidUtf8(content.substr(1)))) return content.substr(1);
    return {};
}

std::string decodeText(std::uint8_t encoding, std::string_view bytes, LegacyReading legacy) {
    std::string out;
    bool first = true;
    while (!bytes.empty()) {
        const auto end = findTerminated(encoding, bytes);
        if (!first) out += '\0';
        first = false;
        out += decodeOne(encoding, bytes.substr(0, end ? end->first : bytes.size()), legacy);
        if (!end) break;
        bytes.remove_prefix(end->second);
    }
    while (!out.empty() && out.back() == '\0') out.pop_back();
    return out;
}

EncodedText encodeText(std::string_view utf8) {
    if (isAsciiText(utf8)) return {0, std::string(utf8)};
    return {1, "\xFF\xFE" + utf8ToUtf16le(utf8)};
}

std::string encodeTerminated(std::uint8_t encoding, std::string_view utf8) {
    if (encoding == 1) return "\xFF\xFE" + utf8ToUtf16le(utf8) + std::string(2, '\0');
    return std::string(utf8) + '\0';
}

int headerLength(int major) { return major == 2 ? 6 : 10; }

std::string renderFrame(const RawFrame& frame, int major) {
    std::string out = frame.id;
    const auto size = static_cast<std::uint32_t>(frame.body.size());
    if (major == 2) {
        putBigEndian(out, size, 3);
    } else {
        if (major == 4) putSynchsafe(out, size);
        else putBigEndian(out, size, 4);
        out += static_cast<char>(frame.flags[0]);
        out += static_cast<char>(frame.flags[1]);
    }
    return out + frame.body;
}

std::optional<std::string> frameContent(const RawFrame& frame, int major, bool tagUnsynchronised) {
    std::string_view content = frame.body;
    const unsigned char format = frame.flags[1];
    if (major == 3) {
        if (format & 0xC0) return std::nullopt;
        if ((format & 0x20) && !content.empty()) content.remove_prefix(1);
        return std::string(content);
    }
    if (major == 4) {
        if (format & 0x0C) return std::nullopt;
        if ((format & 0x40) && !content.empty()) content.remove_prefix(1);
        if ((format & 0x01) && content.size() >= 4) content.remove_prefix(4);
        if ((format & 0x02) || tagUnsynchronised) return removeUnsynchronisation(content);
    }
    return std::string(content);
}

FrameArea parseFrameArea(std::string_view area, int major) {
    FrameArea result;
    const std::size_t header = static_cast<std::size_t>(headerLength(major));
    const std::size_t idLength = major == 2 ? 3 : 4;
    std::size_t pos = 0;
    while (pos < area.size() && area[pos] != '\0') {
        if (pos + header > area.size() || !validFrameId(area.substr(pos, idLength))) break;
        const unsigned char* p = bytesOf(area) + pos;
        const std::uint64_t size = major == 2   ? readBigEndian(p + 3, 3)
                                   : major == 3 ? readBigEndian(p + 4, 4)
                                                : frameSize24(area, pos);
        if (pos + header + size > area.size()) break;
        RawFrame frame;
        frame.id = std::string(area.substr(pos, idLength));
        if (major != 2) frame.flags = {p[8], p[9]};
        frame.body = std::string(area.substr(pos + header, static_cast<std::size_t>(size)));
        result.frames.push_back(std::move(frame));
        pos += header + static_cast<std::size_t>(size);
    }
    if (pos < area.size()) result.rest = std::string(withoutTrailingZeros(area.substr(pos)));
    return result;
}

std::optional<std::string> parseTextFrame(std::string_view content, LegacyReading legacy) {
    if (content.empty()) return std::string();
    return cleaned(decodeText(static_cast<std::uint8_t>(content[0]), content.substr(1), legacy));
}

std::string renderTextFrame(std::string_view utf8) {
    const EncodedText text = encodeText(utf8);
    return static_cast<char>(text.encoding) + text.bytes;
}

std::optional<CommentParts> parseComment(std::string_view content, LegacyReading legacy) {
    if (content.size() < 4) return std::nullopt;
    const auto encoding = static_cast<std::uint8_t>(content[0]);
    CommentParts comment;
    comment.language = std::string(content.substr(1, 3));
    std::string_view rest = content.substr(4);
    if (const auto end = findTerminated(encoding, rest)) {
        comment.description = decodeText(encoding, rest.substr(0, end->first), legacy);
        rest.remove_prefix(end->second);
    }
    comment.text = cleaned(decodeText(encoding, rest, legacy));
    return comment;
}

std::string renderComment(const CommentParts& comment) {
    const std::uint8_t encoding = isAsciiText(comment.description) && isAsciiText(comment.text) ? 0 : 1;
    std::string language = comment.language;
    language.resize(3, ' ');
    std::string out(1, static_cast<char>(encoding));
    out += language + encodeTerminated(encoding, comment.description);
    out += encoding == 0 ? comment.text : "\xFF\xFE" + utf8ToUtf16le(comment.text);
    return out;
}

std::optional<UrlParts> parseUserUrl(std::string_view content, LegacyReading legacy) {
    if (content.empty()) return UrlParts{};
    const auto encoding = static_cast<std::uint8_t>(content[0]);
    std::string_view rest = content.substr(1);
    UrlParts url;
    // Without a terminator there is no description: the rest is the URL (so this program
    // has written it before).
    if (const auto end = findTerminated(encoding, rest)) {
        url.description = decodeText(encoding, rest.substr(0, end->first), legacy);
        rest.remove_prefix(end->second);
    }
    url.url = cleaned(decodeInTag(withoutTrailingZeros(rest), legacy));
    return url;
}

std::string renderUserUrl(const UrlParts& url) {
    if (url.url.empty() && url.description.empty()) return std::string(1, '\0');
    // The description and its terminator come first, even when empty, or readers take
    // the URL for the description.
    const std::uint8_t encoding = isAsciiText(url.description) ? 0 : 1;
    return static_cast<char>(encoding) + encodeTerminated(encoding, url.description) + utf8ToLegacy(url.url);
}

}  // namespace quilvane::id3v2
