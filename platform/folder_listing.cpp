#include "platform/folder_listing.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include "platform/display_name.h"
#include "platform/list_order.h"
#include "platform/system_reason.h"
#include "platform/temporary_file.h"

namespace quilvane {
namespace {

EntryKind kindOf(int dirFd, const char* name, unsigned char type) {
    switch (type) {
    case DT_DIR: return EntryKind::Folder;
    case DT_REG: return EntryKind::File;
    case DT_LNK: {
        struct stat target {};
        if (::fstatat(dirFd, name, &target, 0) != 0) return EntryKind::Special;
        if (S_ISDIR(target.st_mode)) return EntryKind::LinkToFolder;
        return S_ISREG(target.st_mode) ? EntryKind::File : EntryKind::Special;
    }
    case DT_UNKNOWN: {
        struct stat st {};
        if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return EntryKind::Special;
        if (S_ISDIR(st.st_mode)) return EntryKind::Folder;
        if (S_ISREG(st.st_mode)) return EntryKind::File;
        if (S_ISLNK(st.st_mode)) return kindOf(dirFd, name, DT_LNK);
        return EntryKind::Special;
    }
    default: return EntryKind::Special;
    }
}

}  // namespace

namespace {

int visitEntries(const std::string& folder, const std::function<bool(const FolderEntry&)>& visit,
                 bool* holdsTemporaryFiles) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return errno;
    const int fd = ::dirfd(dir);
    FolderEntry entry;
    errno = 0;
    while (const dirent* d = ::readdir(dir)) {
        if (d->d_name[0] == '.') {
            if (holdsTemporaryFiles && isTemporaryFileName(d->d_name)) *holdsTemporaryFiles = true;
            continue;
        }
        entry.name = d->d_name;
        entry.kind = kindOf(fd, d->d_name, d->d_type);
        if (!visit(entry)) break;
    }
    ::closedir(dir);
    return 0;
}

int listSorted(const std::string& folder, std::vector<FolderEntry>& out, bool* holdsTemporaryFiles) {
    const std::size_t start = out.size();
    const int rc = visitEntries(
        folder,
        [&out](const FolderEntry& e) {
            out.push_back(e);
            return true;
        },
        holdsTemporaryFiles);
    std::vector<FolderEntry> listed(std::make_move_iterator(out.begin() + static_cast<std::ptrdiff_t>(start)),
                                    std::make_move_iterator(out.end()));
    sortInListOrder(listed);
    out.resize(start);
    out.insert(out.end(), std::make_move_iterator(listed.begin()), std::make_move_iterator(listed.end()));
    return rc;
}

}  // namespace

int forEachEntry(const std::string& folder, const std::function<bool(const FolderEntry&)>& visit) {
    return visitEntries(folder, visit, nullptr);
}

std::string unreadableFolderMessage(const UnreadableFolder& failure) {
    return "无法进入文件夹 " + displayName(failure.folder) + "：" + systemReason(failure.error);
}

int listFolder(const std::string& folder, std::vector<FolderEntry>& out) { return listSorted(folder, out, nullptr); }

int listFolderSeeingLeftovers(const std::string& folder, std::vector<FolderEntry>& out, bool& holdsTemporaryFiles) {
    holdsTemporaryFiles = false;
    return listSorted(folder, out, &holdsTemporaryFiles);
}

}  // namespace quilvane
