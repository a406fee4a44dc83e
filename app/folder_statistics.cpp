#include "app/folder_statistics.h"

#include <sys/stat.h>

#include "platform/folder_listing.h"
#include "platform/paths.h"

namespace quilvane {
namespace {

bool countInto(const std::string& folder, FolderStatistics& s) {
    bool ok = true;
    const int rc = forEachEntry(folder, [&](const FolderEntry& e) {
        const std::string path = joinPath(folder, e.name);
        if (e.isFolder()) {
            ++s.dirCount;
            if (e.isDescendable()) ok = countInto(path, s);
            return ok;
        }
        ++s.fileCount;
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0) s.totalSize += st.st_size;
        return true;
    });
    return ok && rc == 0;
}

}  // namespace

std::optional<FolderStatistics> countTree(const std::string& folder) {
    FolderStatistics s;
    if (!countInto(folder, s)) return std::nullopt;
    return s;
}

std::string countsText(const FolderStatistics& s) {
    return std::to_string(s.dirCount) + "个子文件夹，" + std::to_string(s.fileCount) + "个文件";
}

std::string sizeText(const FolderStatistics& s) { return "文件大小：" + std::to_string(s.totalSize) + "字节"; }

}  // namespace quilvane
