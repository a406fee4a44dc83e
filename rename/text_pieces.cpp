#include "rename/text_pieces.h"

namespace quilvane {

bool containsCharacter(std::string_view text, std::string_view ch) {
    return !ch.empty() && text.find(ch) != std::string_view::npos;
}

std::string textBeforeLast(std::string_view text, std::string_view ch) {
    const auto at = ch.empty() ? std::string_view::npos : text.rfind(ch);
    return std::string(at == std::string_view::npos ? text : text.substr(0, at));
}

std::string textAfterLast(std::string_view text, std::string_view ch) {
    const auto at = ch.empty() ? std::string_view::npos : text.rfind(ch);
    return at == std::string_view::npos ? std::string() : std::string(text.substr(at + ch.size()));
}

bool sameText(std::string_view a, std::string_view b) { return a == b; }

}  // namespace quilvane
