#pragma once
#include <string_view>

namespace quilvane {

// File-type masks such as "*.mp3": '*' stands for any run of characters, '?' for one,
// letters match in either case. A trailing ".*" also matches names without an
// extension, so "*.*" lists everything.
bool maskMatches(std::string_view mask, std::string_view name);

}  // namespace quilvane
