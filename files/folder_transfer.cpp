#include "files/folder_transfer.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "files/file_utils.h"
#include "platform/attributes.h"
#include "platform/folder_listing.h"
#include "platform/paths.h"
#include "platform/syscalls.h"

namespace quilvane {
namespace {

std::vector<FolderEntry> entriesOf(const std::string& folder) {
    std::vector<FolderEntry> entries;
    if (const int rc = listFolder(folder, entries); rc != 0)
        throw TransferError(TransferError::Kind::CannotList, folder, rc);
    return entries;
}

std::string canonical(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr) return expandedPath(path);
    std::string resolved(real);
    std::free(real);
    return resolved;
}

std::string withoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// The folder that receives the tree, after refusing a target inside the source: the
// walk would meet its own copy and never end.
std::string prepareDestination(const std::string& source, const std::string& target) {
    const std::string from = canonical(source);
    const std::string into = canonical(target);
    if (into == from || into.starts_with(from == "/" ? from : from + "/"))
        throw TransferError(TransferError::Kind::IntoItself, source);
    const std::string dest = joinPath(target, fileNameOf(withoutTrailingSlash(source)));
    if (const int rc = createFolders(dest); rc != 0) throw TransferError(TransferError::Kind::CannotCreate, dest, rc);
    return dest;
}

std::string linkTarget(const std::string& link) {
    std::vector<char> buffer(PATH_MAX);
    const ssize_t n = ::readlink(link.c_str(), buffer.data(), buffer.size());
    return n < 0 ? std::string() : std::string(buffer.data(), static_cast<std::size_t>(n));
}

void copyLink(const std::string& link, const std::string& dest) {
    FileIdentity existing;
    if (realSysCalls().identify(dest, existing) == 0) return;  // never replace what is there
    if (::symlink(linkTarget(link).c_str(), dest.c_str()) != 0)
        throw TransferError(TransferError::Kind::CannotCreate, dest, errno);
}

void moveLink(const std::string& link, const std::string& dest) {
    if (::rename(link.c_str(), dest.c_str()) == 0) return;
    copyLink(link, dest);
    ::unlink(link.c_str());
}

// Only the entry itself: a link's target is never touched.
void clearReadOnly(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && !S_ISLNK(st.st_mode) && (st.st_mode & S_IWUSR) == 0)
        setReadOnly(path, false);
}

}  // namespace

void CopyFolderTree(const std::string& source, const std::string& target) {
    const std::string dest = prepareDestination(source, target);
    for (const FolderEntry& e : entriesOf(source)) {
        const std::string from = joinPath(source, e.name);
        if (e.kind == EntryKind::File) CopySingleFile(from, joinPath(dest, e.name));
        else if (e.kind == EntryKind::Folder) CopyFolderTree(from, dest);
        else if (e.kind == EntryKind::LinkToFolder) copyLink(from, joinPath(dest, e.name));
    }
}

void MoveFolderTree(const std::string& source, const std::string& target) {
    const std::string dest = prepareDestination(source, target);
    for (const FolderEntry& e : entriesOf(source)) {
        const std::string from = joinPath(source, e.name);
        if (e.kind == EntryKind::File) {
            clearReadOnly(from);
            MoveSingleFile(from, joinPath(dest, e.name));
        } else if (e.kind == EntryKind::Folder) {
            MoveFolderTree(from, dest);
        } else if (e.kind == EntryKind::LinkToFolder) {
            moveLink(from, joinPath(dest, e.name));
        }
    }
    clearReadOnly(source);
    ::rmdir(source.c_str());
}

void deleteEntireDir(const std::string& folder, const std::function<void(const std::string&)>& report) {
    for (const FolderEntry& e : entriesOf(folder)) {
        const std::string path = joinPath(folder, e.name);
        if (e.kind == EntryKind::Folder) {
            deleteEntireDir(path, report);
            continue;
        }
        // Files, links (to folders too: the link goes, never what it points to) and the rest.
        clearReadOnly(path);
        report(::unlink(path.c_str()) == 0 ? "已删除文件：" + e.name : e.name + "删除不成功");
    }
    clearReadOnly(folder);
    report(::rmdir(folder.c_str()) == 0 ? "已删除文件夹：" + folder : folder + "删除不成功");
}

}  // namespace quilvane
