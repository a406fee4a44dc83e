#include "editing/line_transforms.h"

#include <algorithm>

#include "rename/text_pieces.h"
#include "platform/text.h"

namespace quilvane {
namespace {

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

template <typename Change>
void changeNameCase(Lines& lines, Change change) {
    for (std::string& line : lines) {
        if (isBlank(line)) continue;
        const bool hasDot = trimBlanks(line).find('.') != std::string_view::npos;
        const std::size_t end = hasDot ? line.rfind('.') : line.size();
        std::transform(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(end), line.begin(), change);
    }
}

}  // namespace

void upperCaseNames(Lines& lines) { changeNameCase(lines, upper); }
void lowerCaseNames(Lines& lines) { changeNameCase(lines, lower); }

void stripLeadingDigits(Lines& lines) {
    for (std::string& line : lines) {
        if (line.empty()) continue;
        const std::string_view trimmed = trimBlanks(line);
        const auto first = trimmed.find_first_not_of("0123456789");
        if (first != std::string_view::npos) line = std::string(trimmed.substr(first));
    }
}

void cutBeforeSeparator(Lines& lines, std::string_view separator) {
    for (std::string& line : lines) {
        if (isBlank(line)) continue;
        const std::string_view trimmed = trimBlanks(line);
        // UTF-8 cannot match a character inside another one, so a separator found is one
        // of its own.
        const auto at = trimmed.find(separator);
        if (at != std::string_view::npos) line = std::string(trimmed.substr(at + separator.size()));
    }
}

void cutAfterSeparator(Lines& lines, std::string_view separator) {
    for (std::string& line : lines) {
        if (isBlank(line)) continue;
        const std::string_view trimmed = trimBlanks(line);
        if (containsCharacter(trimmed, separator)) line = textBeforeLast(trimmed, separator);
    }
}

void numberLines(Lines& lines, std::string_view separator) {
    removeBlankLines(lines);
    const std::size_t width = std::to_string(lines.size()).size();
    for (std::size_t n = 0; n < lines.size(); ++n) {
        std::string number = std::to_string(n + 1);
        number.insert(0, width - number.size(), '0');
        lines[n] = number + std::string(separator) + lines[n];
    }
}

void addPrefix(Lines& lines, std::string_view prefix) {
    for (std::string& line : lines) line.insert(0, prefix);
}

void addSuffix(Lines& lines, std::string_view separator, std::string_view suffix) {
    for (std::string& line : lines) line += std::string(separator) + std::string(suffix);
}

void removeExtensions(Lines& lines) {
    for (std::string& line : lines)
        if (!isBlank(line)) line = textBeforeLast(line, ".");
}

void removeBlankLines(Lines& lines) {
    lines.erase(std::remove_if(lines.begin(), lines.end(), [](const std::string& l) { return isBlank(l); }),
                lines.end());
}

void removeSpaces(Lines& lines) {
    for (std::string& line : lines)
        if (!isBlank(line)) line.erase(std::remove(line.begin(), line.end(), ' '), line.end());
}

void titleCase(Lines& lines) {
    for (std::string& line : lines) {
        if (isBlank(line)) {
            line.clear();
            continue;
        }
        for (std::size_t i = 0; i < line.size(); ++i)
            line[i] = (i == 0 || line[i - 1] == ' ') ? upper(line[i]) : lower(line[i]);
    }
}

void replaceAllLines(Lines& lines, std::string_view text) {
    for (std::string& line : lines)
        if (!isBlank(line)) line = std::string(text);
}

}  // namespace quilvane
