#pragma once
// The plain loops of system calls that the benchmarks set the program beside.
#include <cstddef>
#include <string>
#include <vector>

namespace quilvane::bench {

// For each file: open, fstat, pread of the first 512 bytes and of the last 128, close.
// Returns the bytes read.
std::size_t readHeadsAndTails(const std::vector<std::string>& paths);

}  // namespace quilvane::bench
