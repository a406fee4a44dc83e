#pragma once
// The 128-byte ID3v1 block at the very end of an MP3 file: "TAG", title 30, artist 30,
// album 30, year 4, comment 30, genre byte. Text fields hold legacy 8-bit text and are
// read up to their first zero byte, untrimmed.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_io.h"
#include "platform/legacy_text.h"

namespace quilvane {

struct TagField {
    std::size_t offset;
    std::size_t width;
};

namespace tagfield {
constexpr TagField Title{3, 30};
constexpr TagField Artist{33, 30};
constexpr TagField Album{63, 30};
constexpr TagField Year{93, 4};
constexpr TagField Comment{97, 30};
constexpr std::size_t Genre = 127;
}  // namespace tagfield

struct TagBlock {
    std::array<char, 128> bytes{};

    // The block begins with "TAG".
    bool isTag() const;
    // The field's bytes up to its first zero byte (all of it when it holds none).
    std::string field(TagField f) const;
    std::string_view fieldBytes(TagField f) const;
    // How the tag's legacy texts are encoded, judged over all five fields together.
    LegacyReading reading() const;
    // The field's text, read as the tag was judged.
    std::string text(TagField f) const;
    std::uint8_t genre() const { return static_cast<std::uint8_t>(bytes[tagfield::Genre]); }

    // Writes legacy bytes into a field, cut to its width, followed by one zero byte when
    // shorter; the field's bytes after that zero keep their values.
    void setField(TagField f, std::string_view legacy);
    void setGenre(std::uint8_t genre) { bytes[tagfield::Genre] = static_cast<char>(genre); }
};

// A fresh block: 128 zero bytes, "TAG", each text (legacy bytes) copied up to its width
// or its first zero byte, and the genre byte.
TagBlock buildTagBlock(std::string_view title, std::string_view artist, std::string_view album,
                       std::string_view year, std::string_view comment, std::uint8_t genre);

// The five text fields in block order: title, artist, album, year, comment.
constexpr std::array<TagField, 5> kTextFields{tagfield::Title, tagfield::Artist, tagfield::Album, tagfield::Year,
                                              tagfield::Comment};

// `before` with new texts (UTF-8, in kTextFields order) and genre, as an edit of a tag
// writes it: a field whose text reads as it did keeps its bytes (trailing blanks, a
// legacy encoding, whatever followed its zero byte); a changed one is encoded in the
// tag's own legacy code page when it fits there, else in Latin-1 or GBK as it needs, cut
// to its width by whole characters and zero-filled; the ID3v1.1 track number after a
// comment that still fits 28 bytes stays. The result reads back with every written
// field as written and every other as before. Never written: GB18030's four-byte
// characters and U+FFFD; a text that needs them throws FileError (NotInLegacyCodePage,
// LegacyCodePagesClash when the texts cannot all read right together,
// UnreadableCharacter, without a path). A `before` that is no tag gives a fresh block.
TagBlock editedBlock(const TagBlock& before, const std::array<std::string, 5>& texts, std::uint8_t genre);
// The text as editedBlock would store it in a field of that width: cut by whole
// characters in the code page it would be written in.
std::string fitToField(std::string_view text, std::size_t width, const TagBlock& before);

// The file's last 128 bytes, unchanged (zeros for a file shorter than 128 bytes).
// Throws FileError when the file cannot be read.
TagBlock readTagBlock(const std::string& path);
TagBlock readTagBlock(const OpenFile& file);

// Writes the block as the file's tag: over the last 128 bytes when they are a tag,
// else appended. Throws FileError; a failed append leaves the file at its old size.
void writeTagBlock(const std::string& path, const TagBlock& block);
void writeTagBlock(OpenFile& file, const TagBlock& block);

}  // namespace quilvane
