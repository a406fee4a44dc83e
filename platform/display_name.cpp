#include "platform/display_name.h"

namespace quilvane {

std::string displayName(std::string_view bytes) { return std::string(bytes); }

}  // namespace quilvane
