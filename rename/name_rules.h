#pragma once
// Which new names the naming commands may give. A name that begins with '.' would hide
// the file, one with '/' would move it into another folder, and an empty one names
// nothing: such names are passed over, never applied.
#include <string_view>

namespace quilvane {

// A name for an entry of the same folder.
bool isApplicableName(std::string_view name);
// A typed line that may name a path below the folder ("sub/x.mp3"): every part of it
// is an applicable name, so it never leads out of the folder nor hides the file.
bool isApplicablePathBelow(std::string_view line);

}  // namespace quilvane
