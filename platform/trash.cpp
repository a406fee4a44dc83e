#include "platform/trash.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>

#include "platform/paths.h"
#include "platform/rename_noreplace.h"
#include "platform/system_reason.h"

namespace quilvane {
namespace {

constexpr std::string_view kRecordSuffix = ".trashinfo";

TrashResult failed(std::string reason) { return {false, {}, std::move(reason)}; }

// Paths in a record are URL-escaped bytes, whatever their encoding.
std::string escapedPath(std::string_view path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const unsigned char c : path) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           c == '-' || c == '_' || c == '.' || c == '~' || c == '/';
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

std::string deletionDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

// The device of the path, or of its nearest existing folder above it.
bool deviceOf(std::string path, dev_t& device) {
    struct stat st {};
    while (::stat(path.c_str(), &st) != 0) {
        if (path == "/" || path.empty()) return false;
        path = folderOf(path);
    }
    device = st.st_dev;
    return true;
}

// The highest folder above `folder` on the same device: where the mount begins.
std::string mountTop(std::string folder, dev_t device) {
    struct stat st {};
    while (folder != "/") {
        const std::string up = folderOf(folder);
        if (::stat(up.c_str(), &st) != 0 || st.st_dev != device) break;
        folder = up;
    }
    return folder;
}

// A folder of ours alone: created 0700 when missing, and refused when it is a link or
// belongs to someone else (a trash others can write to is no trash of ours).
int privateFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return errno;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return errno;
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) return ENOTDIR;
    return 0;
}

int trashFolders(const std::string& trash) {
    if (int error = privateFolder(trash)) return error;
    if (int error = privateFolder(joinPath(trash, "files"))) return error;
    return privateFolder(joinPath(trash, "info"));
}

// The trash at the top of a mount: the shared .Trash (a sticky folder, not a link) with
// a folder per user, else .Trash-<uid>.
std::string mountTrash(const std::string& top) {
    const std::string uid = std::to_string(::getuid());
    const std::string shared = joinPath(top, ".Trash");
    struct stat st {};
    if (::lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
        const std::string mine = joinPath(shared, uid);
        if (trashFolders(mine) == 0) return mine;
    }
    const std::string own = joinPath(top, ".Trash-" + uid);
    return trashFolders(own) == 0 ? own : std::string();
}

// Names in the trash must leave room for the record's suffix and a counter.
std::string storageBase(const std::string& name) {
    constexpr size_t kRoom = NAME_MAX - kRecordSuffix.size() - 8;
    if (name.size() <= kRoom) return name;
    size_t cut = kRoom;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;  // whole UTF-8 letters
    return name.substr(0, cut);
}

std::string numbered(const std::string& base, int n, bool isFolder) {
    if (n == 1) return base;
    const size_t dot = base.rfind('.');
    if (isFolder || dot == std::string::npos || dot == 0) return base + "." + std::to_string(n);
    return base.substr(0, dot) + "." + std::to_string(n) + base.substr(dot);
}

bool writeAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

std::string homeTrash() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/') return joinPath(data, "Trash");
    const char* home = std::getenv("HOME");
    return joinPath(home && home[0] ? home : "/", ".local/share/Trash");
}

TrashResult moveToTrash(const std::string& path) {
    struct stat entry {};
    if (::lstat(path.c_str(), &entry) != 0) return failed(systemReason(errno));
    // The record names the entry by its real folder, whatever links led to it.
    char* resolved = ::realpath(folderOf(path).c_str(), nullptr);
    if (!resolved) return failed(systemReason(errno));
    const std::string folder = resolved;
    std::free(resolved);
    const std::string name = fileNameOf(path);
    const std::string source = joinPath(folder, name);

    struct stat here {};
    if (::stat(folder.c_str(), &here) != 0) return failed(systemReason(errno));
    std::string trash = homeTrash();
    std::string recordedPath = source;
    dev_t homeDevice{};
    if (!deviceOf(trash, homeDevice) || homeDevice != here.st_dev) {
        const std::string top = mountTop(folder, here.st_dev);
        trash = mountTrash(top);
        if (trash.empty()) return failed("这个磁盘上没有可用的回收站");
        // On a removable disk the record stays true wherever the disk is mounted next.
        recordedPath = top == "/" ? source.substr(1) : source.substr(top.size() + 1);
    } else {
        int error = createFolders(folderOf(trash));
        if (error == 0) error = trashFolders(trash);
        if (error != 0) return failed("无法建立回收站 " + trash + "：" + systemReason(error));
    }

    const std::string record = "[Trash Info]\nPath=" + escapedPath(recordedPath) + "\nDeletionDate=" + deletionDate() + "\n";
    const std::string base = storageBase(name);
    for (int n = 1; n < 10000; ++n) {
        const std::string stored = numbered(base, n, S_ISDIR(entry.st_mode));
        const std::string info = joinPath(joinPath(trash, "info"), stored + std::string(kRecordSuffix));
        // The record is claimed first: its name reserves the entry's name in files/.
        const int fd = ::open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return failed(systemReason(errno));
        }
        const bool written = writeAll(fd, record);
        const int writeError = errno;
        if (::close(fd) != 0 || !written) {
            ::unlink(info.c_str());
            return failed(systemReason(written ? errno : writeError));
        }
        const std::string target = joinPath(joinPath(trash, "files"), stored);
        const int error = renameWithoutReplacing(source, target);
        if (error == 0) return {true, target, {}};
        ::unlink(info.c_str());
        if (error != EEXIST) return failed(systemReason(error));
    }
    return failed(systemReason(EEXIST));
}

}  // namespace quilvane
