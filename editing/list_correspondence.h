#pragma once
// Line i of the editing area belongs to entry i of the file list. In folder mode a line
// holds the bare folder name; the lines at "[.]" and "[..]" name nothing.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quilvane {

// "复制文件名": one line per entry.
std::vector<std::string> namesForLines(const std::vector<std::string>& entries, bool folderMode);

// The first entry, from the top, whose text (as shown) begins with `prefix`, ignoring
// the case of Latin letters (Chinese characters compare exactly); -1 when none does.
int firstEntryStartingWith(const std::vector<std::string>& entries, std::string_view prefix);

}  // namespace quilvane
