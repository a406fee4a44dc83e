#pragma once
// The string helpers the naming commands share. `ch` is one character (UTF-8), so a
// Chinese character works as a separator like any other.
#include <string>
#include <string_view>

namespace quilvane {

bool containsCharacter(std::string_view text, std::string_view ch);
// The text before the last `ch`; the whole text when `ch` does not occur.
std::string textBeforeLast(std::string_view text, std::string_view ch);
// The text after the last `ch`, untrimmed; empty when `ch` does not occur.
std::string textAfterLast(std::string_view text, std::string_view ch);
// Same length and same bytes, letter case included.
bool sameText(std::string_view a, std::string_view b);

}  // namespace quilvane
