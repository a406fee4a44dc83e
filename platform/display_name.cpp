#include "platform/display_name.h"

#include "platform/legacy_text.h"
#include "platform/text.h"

namespace quilvane {

// A name in GBK (or Latin-1) bytes, as old Chinese systems wrote them, reads as the
// user wrote it.
std::string displayName(std::string_view bytes) {
    return isValidUtf8(bytes) ? std::string(bytes) : legacyText(bytes);
}

}  // namespace quilvane
