#include "files/file_utils.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/attributes.h"
#include "platform/paths.h"

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
    // Closes now and reports whether the close (the last chance for a write to fail) worked.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

// A new file beside `destination`, created with the ordinary permissions of new files.
int createTemporaryBeside(const std::string& destination, std::string& path) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = joinPath(folderOf(destination), "." + fileNameOf(destination) + ".quilvane-" +
                                                   std::to_string(::getpid()) + "-" + std::to_string(counter++));
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool writeAll(int fd, const char* data, std::size_t count) {
    while (count > 0) {
        const ssize_t n = ::write(fd, data, count);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

// Streams `source` into a temporary file beside `destination` and renames it into
// place once every byte is written (and, for a move, on the disk).
void copyContents(const std::string& source, const std::string& destination, bool flushToDisk) {
    Descriptor in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0) throw TransferError(TransferError::Kind::CannotOpen, source, errno);
    std::string temporary;
    Descriptor out(createTemporaryBeside(destination, temporary));
    if (out.get() < 0) throw TransferError(TransferError::Kind::CannotCreate, destination, errno);
    const auto fail = [&](TransferError::Kind kind, const std::string& path, int error) {
        ::unlink(temporary.c_str());
        throw TransferError(kind, path, error);
    };
    char block[kCopyBlock];
    for (;;) {
        const ssize_t n = ::read(in.get(), block, sizeof block);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) fail(TransferError::Kind::CannotOpen, source, errno);
        if (n == 0) break;
        if (!writeAll(out.get(), block, static_cast<std::size_t>(n))) fail(TransferError::Kind::CannotWrite, destination, errno);
    }
    if (flushToDisk && ::fsync(out.get()) != 0) fail(TransferError::Kind::CannotWrite, destination, errno);
    if (!out.close()) fail(TransferError::Kind::CannotWrite, destination, errno);
    if (::rename(temporary.c_str(), destination.c_str()) != 0)
        fail(TransferError::Kind::CannotCreate, destination, errno);
}

// A destination that is an existing folder receives the file under its own name.
std::string destinationFor(const std::string& source, const std::string& destination) {
    const std::string expanded = expandedPath(destination);
    return isFolder(expanded) ? joinPath(expanded, fileNameOf(source)) : expanded;
}

}  // namespace

std::string expandedPath(const std::string& name) {
    return name.starts_with('/') ? name : joinPath(currentDirectory(), name);
}

bool CopySingleFile(const std::string& source, const std::string& destination) {
    const std::string dest = destinationFor(source, destination);
    // Copying a file onto itself would empty it first: nothing to do.
    if (sameEntry(expandedPath(source), dest)) return false;
    copyContents(source, dest, false);
    return true;
}

bool MoveSingleFile(const std::string& source, const std::string& destination) {
    const std::string dest = destinationFor(source, destination);
    if (sameEntry(expandedPath(source), dest)) return false;
    if (::rename(source.c_str(), dest.c_str()) == 0) return true;
    if (FileHasAttr(source, attr::ReadOnly)) throw TransferError(TransferError::Kind::CannotMove, source);
    copyContents(source, dest, true);
    ::unlink(source.c_str());
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
