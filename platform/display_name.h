#pragma once
// How a name or path, in the file system's own bytes, is shown to the user: the one
// place the list, the tree, the editing area, the panels and the messages take it from.
#include <string>
#include <string_view>

namespace quilvane {

std::string displayName(std::string_view bytes);

}  // namespace quilvane
