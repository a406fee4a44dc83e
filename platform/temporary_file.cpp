#include "platform/temporary_file.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/paths.h"
#include "platform/rename_noreplace.h"

namespace quilvane {
namespace {

constexpr std::string_view kPrefix = ".quilvane-";

// A hidden name in `folder` that no entry has yet (taken by `use`, which answers EEXIST
// when it is taken after all).
template <typename Use>
int withFreshName(const std::string& folder, std::string& name, Use use) {
    static std::atomic<unsigned long> counter{0};
    constexpr char digits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned long seed = static_cast<unsigned long>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                             (static_cast<unsigned long>(::getpid()) << 20) ^ (counter++ * 2654435761ul);
        std::string suffix;
        for (int i = 0; i < 6; ++i, seed /= 36) suffix += digits[seed % 36];
        name = joinPath(folder, std::string(kPrefix) + suffix);
        const int rc = use(name);
        if (rc != EEXIST) return rc;
    }
    return EEXIST;
}

std::atomic<bool> namedFilesOnly{false};

bool canLinkUnnamedFiles() {
    static const bool proc = ::access("/proc/self/fd", X_OK) == 0;
    return proc && !namedFilesOnly;
}

int closeReporting(int& fd) {
    const int closing = fd;
    fd = -1;
    return ::close(closing) == 0 ? 0 : errno;
}

}  // namespace

void TemporaryFile::useNamedFilesOnly(bool named) { namedFilesOnly = named; }

bool isTemporaryFileName(std::string_view name) {
    return name.size() == kPrefix.size() + 6 && name.starts_with(kPrefix);
}

TemporaryFile::TemporaryFile(const std::string& target) : target_(target) {
    folder_ = folderOf(target);
    if (folder_.empty()) folder_ = ".";
    if (canLinkUnnamedFiles()) {
        fd_ = ::open(folder_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        // Locked before it ever has a name: no other process can see it unlocked.
        if (fd_ >= 0 && ::flock(fd_, LOCK_EX) == 0) return;
        if (fd_ >= 0) closeReporting(fd_);
    }
    // The file system has no unnamed files (FAT, network and FUSE file systems).
    error_ = withFreshName(folder_, named_, [this](const std::string& name) {
        fd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0) return errno;
        // Another run's clean-up may have taken the lock first and removed the name:
        // the file is then unlinked, and another name is tried.
        struct stat st {};
        if (::flock(fd_, LOCK_EX) != 0 || ::fstat(fd_, &st) != 0 || st.st_nlink == 0) {
            closeReporting(fd_);
            return EEXIST;
        }
        return 0;
    });
    if (error_ != 0) named_.clear();
}

TemporaryFile::~TemporaryFile() {
    if (!committed_ && !named_.empty()) ::unlink(named_.c_str());
    if (fd_ >= 0) ::close(fd_);
}

int TemporaryFile::write(std::string_view bytes) {
    const char* data = bytes.data();
    std::size_t count = bytes.size();
    while (count > 0) {
        const ssize_t n = ::write(fd_, data, count);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return ENOSPC;
        data += n;
        count -= static_cast<std::size_t>(n);
    }
    return 0;
}

int TemporaryFile::finish(bool flushToDisk) {
    if (flushToDisk && ::fsync(fd_) != 0) return errno;
    return 0;
}

int TemporaryFile::replaceTarget() {
    if (named_.empty()) {
        const std::string self = "/proc/self/fd/" + std::to_string(fd_);
        const int rc = withFreshName(folder_, named_, [&self](const std::string& name) {
            return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
        });
        if (rc != 0) {
            named_.clear();
            return rc;
        }
    }
    // Still open, so still locked: until the rename the name is a file being written.
    if (::rename(named_.c_str(), target_.c_str()) != 0) return errno;
    committed_ = true;
    return closeReporting(fd_);
}

int TemporaryFile::placeAtFreeTarget() {
    if (named_.empty()) {
        // A link never replaces an entry: the unnamed file gets the target's name or none.
        const std::string self = "/proc/self/fd/" + std::to_string(fd_);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, target_.c_str(), AT_SYMLINK_FOLLOW) != 0) return errno;
        committed_ = true;
        return closeReporting(fd_);
    }
    const int rc = renameWithoutReplacing(named_, target_);
    if (rc != 0) return rc;
    committed_ = true;
    return closeReporting(fd_);
}

int removeLeftoverTemporaryFiles(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return 0;
    int removed = 0;
    while (const dirent* d = ::readdir(dir)) {
        if (!isTemporaryFileName(d->d_name)) continue;
        const int fd = ::openat(::dirfd(dir), d->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) continue;
        struct stat opened {};
        struct stat named {};
        // Only a regular file no one holds, and still the one under the name.
        if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::fstatat(::dirfd(dir), d->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 && named.st_ino == opened.st_ino &&
            named.st_dev == opened.st_dev && ::unlinkat(::dirfd(dir), d->d_name, 0) == 0)
            ++removed;
        ::close(fd);
    }
    ::closedir(dir);
    return removed;
}

}  // namespace quilvane
