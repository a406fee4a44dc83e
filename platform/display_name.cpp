#include "platform/display_name.h"

#include "platform/legacy_text.h"
#include "platform/text.h"

namespace quilvane {

// A name in GBK (or Latin-1) bytes, as old Chinese systems wrote them, reads as the
// user wrote it. A path is read a component at a time, as the list reads names: a GBK
// name in a folder named in UTF-8 leaves the folder's name as it is.
std::string displayName(std::string_view bytes) {
    if (isValidUtf8(bytes)) return std::string(bytes);
    std::string shown;
    shown.reserve(bytes.size() * 3 / 2);
    for (std::size_t start = 0;;) {
        const std::size_t slash = bytes.find('/', start);
        const std::string_view part = bytes.substr(start, slash == std::string_view::npos ? std::string_view::npos : slash - start);
        shown += isValidUtf8(part) ? std::string(part) : legacyText(part);
        if (slash == std::string_view::npos) break;
        shown += '/';
        start = slash + 1;
    }
    return shown;
}

}  // namespace quilvane
