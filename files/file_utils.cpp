#include "files/file_utils.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/attributes.h"
#include "platform/paths.h"
#include "platform/rename_noreplace.h"
#include "platform/temporary_file.h"

namespace quilvane {
namespace {

constexpr std::size_t kCopyBlock = 8192;

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// A pipe, a device or a socket would block the copy or never end: only regular files
// are opened.
int openRegularFile(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return -1;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Streams `source` into a temporary file beside `destination` and puts it in place once
// every byte is written (and, for a move, on the disk). False when `existing` keeps an
// entry found there at the end.
bool copyContents(const std::string& source, const std::string& destination, bool flushToDisk, AtDestination existing) {
    Descriptor in(openRegularFile(source));
    if (in.get() < 0) throw TransferError(TransferError::Kind::CannotOpen, source, errno);
    TemporaryFile out(destination);
    if (out.error() != 0) throw TransferError(TransferError::Kind::CannotCreate, destination, out.error());
    const auto check = [&destination](int rc) {
        if (rc != 0) throw TransferError(TransferError::Kind::CannotWrite, destination, rc);
    };
    char block[kCopyBlock];
    for (;;) {
        const ssize_t n = ::read(in.get(), block, sizeof block);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw TransferError(TransferError::Kind::CannotOpen, source, errno);
        if (n == 0) break;
        check(out.write(std::string_view(block, static_cast<std::size_t>(n))));
    }
    check(out.finish(flushToDisk));
    const int rc = existing == AtDestination::Keep ? out.placeAtFreeTarget() : out.replaceTarget();
    if (rc == EEXIST && existing == AtDestination::Keep) return false;
    if (rc != 0) throw TransferError(TransferError::Kind::CannotCreate, destination, rc);
    return true;
}

// A write-protected file at the destination is not replaced, as cp refuses it.
void refuseProtectedDestination(const std::string& destination) {
    struct stat st {};
    if (::stat(destination.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & S_IWUSR) == 0)
        throw TransferError(TransferError::Kind::CannotCreate, destination, EACCES);
}

// The source of a move across file systems must be deletable before it is copied, or
// the move would end as a copy.
bool canDeleteFrom(const std::string& folder) { return ::access(folder.c_str(), W_OK | X_OK) == 0; }

// A destination that is an existing folder receives the file under its own name.
std::string destinationFor(const std::string& source, const std::string& destination) {
    const std::string expanded = expandedPath(destination);
    return isFolder(expanded) ? joinPath(expanded, fileNameOf(source)) : expanded;
}

}  // namespace

std::string expandedPath(const std::string& name) {
    return name.starts_with('/') ? name : joinPath(currentDirectory(), name);
}

bool CopySingleFile(const std::string& source, const std::string& destination, AtDestination existing) {
    const std::string dest = destinationFor(source, destination);
    // Copying a file onto itself would empty it first: nothing to do.
    if (sameEntry(expandedPath(source), dest)) return false;
    refuseProtectedDestination(dest);
    return copyContents(source, dest, false, existing);
}

bool MoveSingleFile(const std::string& source, const std::string& destination, AtDestination existing) {
    const std::string dest = destinationFor(source, destination);
    if (sameEntry(expandedPath(source), dest)) return false;
    refuseProtectedDestination(dest);
    const bool keep = existing == AtDestination::Keep;
    const int renameError = keep ? renameWithoutReplacing(source, dest) : (::rename(source.c_str(), dest.c_str()) == 0 ? 0 : errno);
    if (renameError == 0) return true;
    if (keep && renameError == EEXIST) return false;
    const bool sourceFolderWritable = canDeleteFrom(folderOf(expandedPath(source)));
    if (renameError != EXDEV) {
        // Within one file system a copy would fail the same way: say which side refused.
        if (!pathExists(source)) throw TransferError(TransferError::Kind::CannotOpen, source, renameError);
        if (!sourceFolderWritable) throw TransferError(TransferError::Kind::CannotMove, source, renameError);
        throw TransferError(TransferError::Kind::CannotCreate, dest, renameError);
    }
    if (FileHasAttr(source, attr::ReadOnly) || !sourceFolderWritable)
        throw TransferError(TransferError::Kind::CannotMove, source);
    if (!copyContents(source, dest, true, existing)) return false;
    if (::unlink(source.c_str()) != 0) throw TransferError(TransferError::Kind::CopiedNotMoved, source, errno);
    return true;
}

std::int64_t FileSizeOf(const std::string& name) {
    struct stat st {};
    return ::stat(expandedPath(name).c_str(), &st) == 0 ? static_cast<std::int64_t>(st.st_size) : -1;
}

std::time_t FileModifiedTime(const std::string& name) {
    struct stat st {};
    if (::stat(name.c_str(), &st) != 0) throw TransferError(TransferError::Kind::CannotOpen, name, errno);
    return st.st_mtime - (st.st_mtime % 2);
}

bool FileHasAttr(const std::string& name, std::uint16_t mask) {
    const std::uint16_t word = attributeWord(name).value_or(0);
    return (word & mask) == mask;
}

}  // namespace quilvane
