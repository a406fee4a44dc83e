#pragma once
// The checks behind the separator, artist name and extension boxes.
#include <string>
#include <string_view>
#include <vector>

namespace quilvane {

enum class SeparatorVerdict {
    Nothing,   // empty box: nothing changes
    AskBlank,  // only blanks: ask whether a blank is the separator
    TooLong,   // more than one character: warn and cut the box to `character`
    Accept,    // exactly one character: it becomes the separator
};

struct SeparatorCheck {
    SeparatorVerdict verdict = SeparatorVerdict::Nothing;
    std::string character;  // the accepted character, or the one the box is cut to
};

SeparatorCheck checkSeparatorText(std::string_view text);

// The artist box holds two or more characters and all of them are blanks.
bool artistNameIsBlank(std::string_view text);

enum class ExtensionProblem { None, StartsWithDot, ContainsDot };
// The new-extension box takes the extension without its dot.
ExtensionProblem checkExtensionText(std::string_view text);

// Gives every non-empty line the extension `extension` (without a dot): the text after
// the line's last '.' is replaced, a line without a '.' gets one. Empty lines stay empty.
void changeExtensions(std::vector<std::string>& lines, std::string_view extension);

}  // namespace quilvane
