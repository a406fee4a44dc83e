#pragma once
// The pieces of the ID3v2 format (2.2, 2.3 and 2.4): sizes, unsynchronisation, text
// encodings, and one parse/render pair per kind of frame the program manages (text,
// comment, URL). Frames it does not manage are kept as raw bytes and rendered back
// unchanged.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/legacy_text.h"

namespace quilvane::id3v2 {

std::uint32_t readSynchsafe(const unsigned char* p);
void putSynchsafe(std::string& out, std::uint32_t value);
std::uint32_t readBigEndian(const unsigned char* p, int bytes);
void putBigEndian(std::string& out, std::uint32_t value, int bytes);

// Undoes unsynchronisation: every 0xFF 0x00 becomes 0xFF.
std::string removeUnsynchronisation(std::string_view bytes);

// Text of an encoding byte's kind (0 legacy code page, 1 UTF-16 with BOM, little-endian
// without one, 2 UTF-16BE, 3 UTF-8) as UTF-8. Legacy text, and UTF-8 that is not valid,
// is read as `legacy` says the tag's legacy texts are encoded. Strings separated by
// terminators stay separated by a NUL character; terminators at the end are dropped.
std::string decodeText(std::uint8_t encoding, std::string_view bytes, LegacyReading legacy = {});
// The legacy bytes of a frame's content (encoding 0, or UTF-8 that is not valid), for
// judging a tag's legacy texts together; empty when it has none.
std::string_view legacyPart(std::string_view content);
// Splits off a terminated string: returns its byte length (terminator excluded) and
// the offset where what follows it begins; nothing when no terminator is found.
std::optional<std::pair<std::size_t, std::size_t>> findTerminated(std::uint8_t encoding,
                                                                  std::string_view bytes);

struct EncodedText {
    std::uint8_t encoding;  // 0 for pure ASCII, else 1 (UTF-16 with BOM)
    std::string bytes;
};
EncodedText encodeText(std::string_view utf8);
// A string in the given encoding followed by its terminator.
std::string encodeTerminated(std::uint8_t encoding, std::string_view utf8);

// A frame as it stands in the tag: identifier, the two flag bytes (none in 2.2), body.
struct RawFrame {
    std::string id;
    std::array<unsigned char, 2> flags{};
    std::string body;
};

int headerLength(int major);
std::string renderFrame(const RawFrame& frame, int major);

// The frame's content with the transport encodings of its flags undone (grouping byte,
// data length indicator, unsynchronisation); nothing when it is compressed or
// encrypted, which this program does not decode.
std::optional<std::string> frameContent(const RawFrame& frame, int major, bool tagUnsynchronised);

// Frames of the tag's frame area, in order; parsing stops at padding or at the first
// bytes that are not a frame, and `rest` receives those bytes when they are not padding.
struct FrameArea {
    std::vector<RawFrame> frames;
    std::string rest;
};
FrameArea parseFrameArea(std::string_view area, int major);

// The managed kinds.
struct CommentParts {
    std::string language = "eng";
    std::string description;
    std::string text;
};
std::optional<CommentParts> parseComment(std::string_view content, LegacyReading legacy = {});
std::string renderComment(const CommentParts& comment);

struct UrlParts {
    std::string description;
    std::string url;
};
std::optional<UrlParts> parseUserUrl(std::string_view content, LegacyReading legacy = {});
std::string renderUserUrl(const UrlParts& url);

std::optional<std::string> parseTextFrame(std::string_view content, LegacyReading legacy = {});
std::string renderTextFrame(std::string_view utf8);

}  // namespace quilvane::id3v2
