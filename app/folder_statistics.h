#pragma once
// Counts of a folder tree for the information panel: every file and every sub-folder at
// any depth (dot-named entries left out, links to folders counted but not entered),
// and the files' total size. Walks by full paths; the working directory is untouched.
#include <cstdint>
#include <string>

namespace quilvane {

struct FolderStatistics {
    std::int32_t fileCount = 0;
    std::int32_t dirCount = 0;
    std::int64_t totalSize = 0;
    std::int32_t unreadableCount = 0;  // folders of the tree that could not be read
};

// Counts what can be read; folders that cannot be read are counted as such.
FolderStatistics countTree(const std::string& folder);

// "1个子文件夹，3个文件" (with "（N个文件夹无法读取）" when some were left out) and
// "文件大小：115字节".
std::string countsText(const FolderStatistics& s);
std::string sizeText(const FolderStatistics& s);

}  // namespace quilvane
