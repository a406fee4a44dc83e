#include "platform/file_mask.h"

#include "platform/text.h"

namespace quilvane {
namespace {

char folded(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool globMatches(std::string_view mask, std::string_view name) {
    std::size_t m = 0, n = 0, starMask = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (m < mask.size() && (mask[m] == '?' || folded(mask[m]) == folded(name[n]))) {
            if (mask[m] == '?') n += firstCharacter(name.substr(n)).size();
            else ++n;
            ++m;
        } else if (starMask != std::string_view::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') ++m;
    return m == mask.size();
}

}  // namespace

bool maskMatches(std::string_view mask, std::string_view name) {
    if (globMatches(mask, name)) return true;
    if (mask.size() >= 2 && mask.ends_with(".*"))
        return globMatches(mask.substr(0, mask.size() - 2), name);
    return false;
}

}  // namespace quilvane
