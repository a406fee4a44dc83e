#include "files/folder_transfer.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "files/file_utils.h"
#include "platform/attributes.h"
#include "platform/folder_listing.h"
#include "platform/paths.h"
#include "platform/rename_noreplace.h"
#include "platform/syscalls.h"
#include "platform/temporary_file.h"

namespace quilvane {
namespace {

std::vector<FolderEntry> entriesOf(const std::string& folder) {
    std::vector<FolderEntry> entries;
    if (const int rc = listFolder(folder, entries); rc != 0)
        throw TransferError(TransferError::Kind::CannotList, folder, rc);
    return entries;
}

std::string resolved(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr) return {};
    std::string result(real);
    std::free(real);
    return result;
}

// The path with every link resolved, also where its last parts do not exist yet: the
// longest existing beginning is resolved and the rest put after it, so a target named
// through a link to the source is still recognised as lying inside it.
std::string canonical(const std::string& path) {
    std::string existing = expandedPath(path);
    std::string rest;
    while (existing.size() > 1) {
        if (std::string real = resolved(existing); !real.empty()) return rest.empty() ? real : joinPath(real, rest);
        const std::string name = fileNameOf(existing);
        rest = rest.empty() ? name : joinPath(name, rest);
        existing = folderOf(existing);
    }
    return rest.empty() ? "/" : joinPath("/", rest);
}

bool isLink(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

std::string withoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// The folder that receives the tree, after refusing a target inside the source (the
// walk would meet its own copy and never end) and the folder that holds the source
// already (every entry would land on itself, and the move would end by removing the
// empty folders it "moved").
std::string prepareDestination(const std::string& source, const std::string& target) {
    const std::string from = canonical(withoutTrailingSlash(source));
    const std::string into = canonical(target);
    if (into == from || into.starts_with(from == "/" ? from : from + "/"))
        throw TransferError(TransferError::Kind::IntoItself, source);
    if (into == folderOf(from))
        throw TransferError(TransferError::Kind::AlreadyThere, source);
    const std::string dest = joinPath(target, fileNameOf(withoutTrailingSlash(source)));
    if (const int rc = createFolders(dest); rc != 0) throw TransferError(TransferError::Kind::CannotCreate, dest, rc);
    return dest;
}

std::string linkTarget(const std::string& link) {
    std::vector<char> buffer(PATH_MAX);
    const ssize_t n = ::readlink(link.c_str(), buffer.data(), buffer.size());
    return n < 0 ? std::string() : std::string(buffer.data(), static_cast<std::size_t>(n));
}

bool entryExists(const std::string& path) {
    FileIdentity existing;
    return realSysCalls().identify(path, existing) == 0;
}

// False when an entry is at `dest` already: it is never replaced.
bool copyLink(const std::string& link, const std::string& dest) {
    if (entryExists(dest)) return false;
    if (::symlink(linkTarget(link).c_str(), dest.c_str()) != 0)
        throw TransferError(TransferError::Kind::CannotCreate, dest, errno);
    return true;
}

// Where a link named as the source of a folder copy or move goes: into the target
// under its own name, as a folder would.
std::string linkDestination(const std::string& link, const std::string& target) {
    const std::string dest = joinPath(target, fileNameOf(withoutTrailingSlash(link)));
    if (const int rc = createFolders(target); rc != 0) throw TransferError(TransferError::Kind::CannotCreate, target, rc);
    return dest;
}

bool moveLink(const std::string& link, const std::string& dest) {
    const int rc = renameWithoutReplacing(link, dest);
    if (rc == 0) return true;
    if (rc != EXDEV || !copyLink(link, dest)) return false;
    ::unlink(link.c_str());
    return true;
}

// Only the entry itself: a link's target is never touched.
void clearReadOnly(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && !S_ISLNK(st.st_mode) && (st.st_mode & S_IWUSR) == 0)
        setReadOnly(path, false);
}

}  // namespace

int CopyFolderTree(const std::string& source, const std::string& target) {
    const std::string top = withoutTrailingSlash(source);
    if (isLink(top)) return copyLink(top, linkDestination(top, target)) ? 0 : 1;
    const std::string dest = prepareDestination(source, target);
    int skipped = 0;
    for (const FolderEntry& e : entriesOf(source)) {
        const std::string from = joinPath(source, e.name);
        const std::string to = joinPath(dest, e.name);
        if (e.kind == EntryKind::Folder) skipped += CopyFolderTree(from, dest);
        else if (e.kind == EntryKind::LinkToFolder) skipped += copyLink(from, to) ? 0 : 1;
        else if (e.kind == EntryKind::File) skipped += entryExists(to) || !CopySingleFile(from, to) ? 1 : 0;
    }
    return skipped;
}

int MoveFolderTree(const std::string& source, const std::string& target, UndoList* log) {
    const std::string top = withoutTrailingSlash(source);
    if (isLink(top)) return moveLink(top, linkDestination(top, target)) ? 0 : 1;
    const std::string dest = prepareDestination(source, target);
    int skipped = 0;
    for (const FolderEntry& e : entriesOf(source)) {
        const std::string from = joinPath(source, e.name);
        const std::string to = joinPath(dest, e.name);
        if (e.kind == EntryKind::Folder) {
            skipped += MoveFolderTree(from, dest, log);
        } else if (e.kind == EntryKind::LinkToFolder) {
            skipped += moveLink(from, to) ? 0 : 1;
        } else if (e.kind == EntryKind::File) {
            if (entryExists(to)) {
                ++skipped;
                continue;
            }
            clearReadOnly(from);
            skipped += moveAndLog(from, to, log, [&] { return MoveSingleFile(from, to); }) ? 0 : 1;
        }
    }
    clearReadOnly(source);
    ::rmdir(source.c_str());
    return skipped;
}

void deleteEntireDir(const std::string& folder, const std::function<void(const std::string&)>& report) {
    // A link to a folder goes as itself; what it points to stays.
    if (isLink(withoutTrailingSlash(folder))) {
        report(::unlink(withoutTrailingSlash(folder).c_str()) == 0 ? "已删除文件夹：" + folder : folder + "删除不成功");
        return;
    }
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
    removeLeftoverTemporaryFiles(folder);
    clearReadOnly(folder);
    report(::rmdir(folder.c_str()) == 0 ? "已删除文件夹：" + folder : folder + "删除不成功");
}

}  // namespace quilvane
