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

}  // namespace quilvane
