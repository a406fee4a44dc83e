#pragma once
// The attribute word that the windows show and change, on POSIX file systems:
//   read-only (0x01)  the owner may not write the entry; the only bit that can be changed
//   hidden    (0x02)  the name begins with '.'
//   folder    (0x10)  a directory (also a symbolic link to one)
// System (0x04) and archive (0x20) do not exist here and are never set.
#include <cstdint>
#include <optional>
#include <string>

namespace quilvane {

namespace attr {
constexpr std::uint16_t ReadOnly = 0x01;
constexpr std::uint16_t Hidden = 0x02;
constexpr std::uint16_t System = 0x04;
constexpr std::uint16_t VolumeLabel = 0x08;
constexpr std::uint16_t Folder = 0x10;
constexpr std::uint16_t Archive = 0x20;
// Every kind of entry a folder walk lists.
constexpr std::uint16_t WalkMask = 0x37;
}  // namespace attr

// The attribute word of the entry, or nothing when it does not exist.
std::optional<std::uint16_t> attributeWord(const std::string& path);
// Applies the read-only bit of `word` (the others cannot change). Returns 0 or errno.
int setAttributeWord(const std::string& path, std::uint16_t word);
// Read-only takes every write permission away; clearing it gives the owner write access.
int setReadOnly(const std::string& path, bool readOnly);

}  // namespace quilvane
