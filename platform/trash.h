#pragma once
// The desktop's trash (the freedesktop.org Trash layout), on the file system's bytes, so
// that names in a legacy encoding go to the trash like any other. An entry on the same
// file system as the home trash goes there; an entry elsewhere goes to the trash at the
// top of its own mount, never copied across file systems.
#include <string>

namespace quilvane {

struct TrashResult {
    bool moved = false;
    std::string trashedAs;  // the entry's path inside the trash's files/ folder
    std::string reason;     // why it stayed where it was, in Chinese
};

// Moves the file, folder or link itself (a link is not followed) into the trash and
// records where it came from in the trash's info/ folder. Nothing is left behind when
// it fails: neither a half-written record nor a moved entry without one.
TrashResult moveToTrash(const std::string& path);

// $XDG_DATA_HOME/Trash, or ~/.local/share/Trash.
std::string homeTrash();

}  // namespace quilvane
