#include "rename/setting_checks.h"

#include "rename/text_pieces.h"
#include "platform/text.h"

namespace quilvane {

SeparatorCheck checkSeparatorText(std::string_view text) {
    const std::string_view trimmed = trimBlanks(text);
    if (trimmed.empty())
        return {text.empty() ? SeparatorVerdict::Nothing : SeparatorVerdict::AskBlank, ""};
    const std::string first(firstCharacter(trimmed));
    if (first.size() < trimmed.size()) return {SeparatorVerdict::TooLong, first};
    return {SeparatorVerdict::Accept, first};
}

bool artistNameIsBlank(std::string_view text) {
    return trimBlanks(text).empty() && characterCount(text) >= 2;
}

ExtensionProblem checkExtensionText(std::string_view text) {
    const std::string_view t = trimLeadingBlanks(text);
    if (t.starts_with('.')) return ExtensionProblem::StartsWithDot;
    if (t.find('.') != std::string_view::npos) return ExtensionProblem::ContainsDot;
    return ExtensionProblem::None;
}

void changeExtensions(std::vector<std::string>& lines, std::string_view extension) {
    for (std::string& line : lines) {
        if (line.empty()) continue;
        line = textBeforeLast(line, ".") + "." + std::string(extension);
    }
}

}  // namespace quilvane
