#include "app/folder_statistics.h"

#include <sys/stat.h>

#include "platform/folder_listing.h"
#include "platform/paths.h"

namespace quilvane {
namespace {

void countInto(const std::string& folder, FolderStatistics& s) {
    const int rc = forEachEntry(folder, [&](const FolderEntry& e) {
        const std::string path = joinPath(folder, e.name);
        if (e.isFolder()) {
            ++s.dirCount;
            if (e.isDescendable()) countInto(path, s);
            return true;
        }
        ++s.fileCount;
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0) s.totalSize += st.st_size;
        return true;
    });
    if (rc != 0) ++s.unreadableCount;
}

}  // namespace

FolderStatistics countTree(const std::string& folder) {
    FolderStatistics s;
    countInto(folder, s);
    return s;
}

std::string countsText(const FolderStatistics& s) {
    std::string text = std::to_string(s.dirCount) + "个子文件夹，" + std::to_string(s.fileCount) + "个文件";
    // Counts that leave folders out say so, rather than passing for the whole tree.
    if (s.unreadableCount > 0) text += "（" + std::to_string(s.unreadableCount) + "个文件夹无法读取）";
    return text;
}

std::string sizeText(const FolderStatistics& s) { return "文件大小：" + std::to_string(s.totalSize) + "字节"; }

}  // namespace quilvane
