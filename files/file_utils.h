#pragma once
// Copy and move of single files, and the small file queries of the information panel.
// Safe by construction: a copy is complete or absent (written beside its destination
// and renamed into place when every byte is written), a file is never copied or moved
// onto itself, and a move deletes its source only after a complete, flushed copy.
#include <cstdint>
#include <ctime>
#include <string>

#include "files/transfer_error.h"

namespace quilvane {

// What a transfer does with an entry already at its destination: a single transfer the
// user confirmed replaces it; a batch (sorting) keeps it and passes the file over, also
// when the entry appears while the file is being copied.
enum class AtDestination { Replace, Keep };

// Copies `source` to `destination` (a file name, or an existing folder that receives the
// file under its own name), replacing an existing file there. The copy has the time of
// its writing and ordinary permissions. False when the destination is the source itself
// (nothing is done), or when an entry is there and `existing` keeps it. Throws
// TransferError.
bool CopySingleFile(const std::string& source, const std::string& destination,
                    AtDestination existing = AtDestination::Replace);

// Moves `source` to `destination` (as for CopySingleFile). Within one file system the
// file is renamed and keeps its times; across file systems it is copied, and the
// source deleted afterwards, unless it is read-only ("Cannot move file"). False when the
// destination is the source itself (nothing is done), or as for CopySingleFile. Throws.
bool MoveSingleFile(const std::string& source, const std::string& destination,
                    AtDestination existing = AtDestination::Replace);

// Size in bytes, -1 when no such entry exists.
std::int64_t FileSizeOf(const std::string& name);
// Last-write time (in two-second steps, rounded down); throws TransferError for a name
// that does not exist.
std::time_t FileModifiedTime(const std::string& name);
// True when the entry has every bit of `mask` (a missing entry has none).
bool FileHasAttr(const std::string& name, std::uint16_t mask);

// A relative name made absolute against the working directory.
std::string expandedPath(const std::string& name);

}  // namespace quilvane
