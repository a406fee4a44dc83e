#pragma once
// Names built from a file's ID3v1 tag by a template: "T" title, "Ar" artist, "Al" album,
// "Y" year, "C" comment, "G" genre name, "_" the separator; every other character is
// copied. Letters are case-sensitive.
#include <optional>
#include <string>
#include <string_view>

#include "tags/tag_block.h"

namespace quilvane {

// The new name (UTF-8, fields decoded from the legacy code page), always ending in ".mp3".
std::string buildId3Name(std::string_view templ, const TagBlock& tag, std::string_view separator);

// A file takes part when its extension, upper-cased and cut to four characters, is
// ".MP3" and its last 128 bytes begin with "TAG".
bool hasMp3Extension(std::string_view name);
bool isId3NamingCandidate(std::string_view name, const TagBlock& tag);

// The new path of the file `name` of `folder` by the template, or nothing when the file
// takes no part (not an MP3 file, no ID3v1 tag, not a regular file) or the name built
// would not be a plain name. Throws FileError when the file cannot be read.
std::optional<std::string> id3NamingTarget(const std::string& folder, const std::string& name, std::string_view templ,
                                           std::string_view separator);

}  // namespace quilvane
