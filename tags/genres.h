#pragma once
// The genre names of ID3 tags, indexed by genre number (0 to 147).
#include <array>
#include <cstdint>
#include <string_view>

namespace quilvane {

extern const std::array<std::string_view, 148> Genres;

// The genre's name; empty for 148 to 255, which name no genre.
std::string_view GenreName(std::uint8_t n);

// "Other": what a number above 147 becomes when a genre is set.
constexpr std::uint8_t kOtherGenre = 12;
// "Pop-Folk": the genre of a cleared tag and of a genre text that is not a number.
constexpr std::uint8_t kDefaultGenre = 53;

}  // namespace quilvane
