#pragma once
// One ID3v1 field of every file moved into the editing area's lines and back. Texts are
// read as the tag's legacy code page is judged, and written back in it.
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "tags/tag_block.h"

namespace quilvane {

enum class TagFieldKind { Title, Artist, Album, Year, Comment, Genre };

// The field as a line: its text up to its first zero byte, trailing blanks kept; the
// genre as its name. Empty for a block that is no tag.
std::string fieldLine(const TagBlock& block, TagFieldKind kind);

// A genre line that is no whole number: "'%s' is not a valid integer value".
class NotAnInteger : public std::runtime_error {
public:
    explicit NotAnInteger(const std::string& text);
};

// The block with the line written into the field; nothing when the field holds that
// value already (the file is then neither written nor counted). A text is trimmed and
// written as editedBlock writes a changed field; no other field changes. A genre line
// is a whole number (decimal with one sign, or hexadecimal after "$", "x" or "0x")
// whose low 8 bits become the genre byte, or a genre's name in any letter case. A block
// that is no tag becomes a new tag holding only that field, genre 255. Throws
// NotAnInteger, and FileError for a text ID3v1 cannot hold.
std::optional<TagBlock> withFieldLine(const TagBlock& block, TagFieldKind kind, std::string_view line);

// A whole number as the genre line reads it; nothing when it is none.
std::optional<long long> wholeNumberOf(std::string_view text);

}  // namespace quilvane
