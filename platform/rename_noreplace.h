#pragma once
#include <string>

#include "platform/syscalls.h"

namespace quilvane {

// Renames (or moves within one file system) `from` to `to`, and never replaces an entry
// that already exists at `to`: then it fails with EEXIST and both entries stay as they
// were. Returns 0 on success, else the errno value of the failure.
//
// A rename that only changes letter case on a case-insensitive mount (where `from` and
// `to` are the same entry) is carried out through a temporary name.
int renameWithoutReplacing(const std::string& from, const std::string& to,
                           SysCalls& sys = realSysCalls());

// `to` is `from` spelt in other letter case on a mount that ignores case: the same
// folder, names equal but for the case of ASCII letters, and the folder lists no entry
// of `to`'s exact name although looking it up finds one. (FAT through FUSE gives each
// spelling an inode number of its own, so comparing inodes cannot tell.)
bool isCaseAlias(const std::string& from, const std::string& to, SysCalls& sys = realSysCalls());

}  // namespace quilvane
