#pragma once
// The genre names of ID3 tags, indexed by genre number (0 to 147).
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace quilvane {

extern const std::array<std::string_view, 148> Genres;

// The genre's name; empty for 148 to 255, which name no genre.
std::string_view GenreName(std::uint8_t n);

// "Other": what a number above 147 becomes when a genre is set.
constexpr std::uint8_t kOtherGenre = 12;
// "Pop-Folk": the genre of a cleared tag and of a genre text that is not a number.
constexpr std::uint8_t kDefaultGenre = 53;
// No genre at all: the ID3v1 byte of a tag without one, and an ID3v2 tag without TCON.
constexpr std::uint8_t kNoGenre = 255;

// The number of a genre of the table named as people write it: its name in any letter
// case, blanks around it ignored ("rock", "Rock "); nothing for any other text.
std::optional<std::uint8_t> genreOfName(std::string_view name);
// A genre as the user gives it: its number (0 to 255) or its name (genreOfName).
std::optional<std::uint8_t> genreOfText(std::string_view text);

}  // namespace quilvane
