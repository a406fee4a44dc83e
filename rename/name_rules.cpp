#include "rename/name_rules.h"

namespace quilvane {

bool isApplicableName(std::string_view name) {
    return !name.empty() && name.front() != '.' && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

bool isApplicablePathBelow(std::string_view line) {
    for (std::size_t start = 0;;) {
        const std::size_t end = line.find('/', start);
        if (!isApplicableName(line.substr(start, end == std::string_view::npos ? end : end - start))) return false;
        if (end == std::string_view::npos) return true;
        start = end + 1;
    }
}

}  // namespace quilvane
