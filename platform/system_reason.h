#pragma once
// Why a system call failed, in the program's language: the usual reasons in Chinese,
// the system's own words for the rare ones.
#include <string>

namespace quilvane {

std::string systemReason(int error);

}  // namespace quilvane
