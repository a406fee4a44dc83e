#pragma once
// The folders and files the subcommands are given.
#include <string>
#include <vector>

namespace quilvane::cli {

// The folder as given, without a trailing '/'; a usage error when it is not a folder.
std::string existingFolder(const std::string& given);
// The files of the folder as the window's list shows them (every file, in list order).
std::vector<std::string> listedFiles(const std::string& folder);

}  // namespace quilvane::cli
