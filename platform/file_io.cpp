#include "platform/file_io.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/paths.h"

namespace quilvane {
namespace {


int openOrThrow(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0) throw FileError(FileError::Kind::Open, path, errno);
    return fd;
}

void writeAll(int fd, const char* data, std::size_t count, const std::string& path) {
    while (count > 0) {
        const ssize_t n = ::write(fd, data, count);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw FileError(FileError::Kind::Write, path, errno);
        }
        data += n;
        count -= static_cast<std::size_t>(n);
    }
}

std::string resolvedPath(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr) throw FileError(FileError::Kind::Open, path, errno);
    std::string resolved(real);
    std::free(real);
    return resolved;
}

// Removes the temporary file unless it was renamed into place.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& beside) {
        path_ = joinPath(folderOf(beside), "." + fileNameOf(beside) + ".quilvane-XXXXXX");
        fd_ = ::mkostemp(path_.data(), O_CLOEXEC);
        if (fd_ < 0) throw FileError(FileError::Kind::Create, path_, errno);
    }
    ~TemporaryFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!committed_) ::unlink(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int fd() const { return fd_; }
    const std::string& path() const { return path_; }
    void closeFile(const std::string& reportAs) {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) throw FileError(FileError::Kind::Write, reportAs, errno);
    }
    void commitAs(const std::string& target) {
        if (::rename(path_.c_str(), target.c_str()) != 0)
            throw FileError(FileError::Kind::Write, target, errno);
        committed_ = true;
    }

private:
    std::string path_;
    int fd_ = -1;
    bool committed_ = false;
};

}  // namespace

OpenFile OpenFile::forReading(const std::string& path) { return OpenFile(openOrThrow(path, O_RDONLY), path); }

OpenFile OpenFile::forReadWrite(const std::string& path) { return OpenFile(openOrThrow(path, O_RDWR), path); }

OpenFile::OpenFile(OpenFile&& other) noexcept : fd_(other.fd_), path_(std::move(other.path_)), size_(other.size_) {
    other.fd_ = -1;
}

OpenFile::~OpenFile() {
    if (fd_ >= 0) ::close(fd_);
}

std::int64_t OpenFile::size() const {
    if (size_ >= 0) return size_;
    struct stat st {};
    if (::fstat(fd_, &st) != 0) throw FileError(FileError::Kind::Read, path_, errno);
    return size_ = st.st_size;
}

std::size_t OpenFile::readAt(std::int64_t offset, char* buffer, std::size_t count) const {
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::pread(fd_, buffer + done, count - done, offset + static_cast<std::int64_t>(done));
        if (n < 0) {
            if (errno == EINTR) continue;
            throw FileError(FileError::Kind::Read, path_, errno);
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

std::string OpenFile::readStringAt(std::int64_t offset, std::size_t count) const {
    // A count taken from the file itself (a tag's declared size) may be absurd; never
    // hold more than the file has.
    const std::int64_t available = size() - offset;
    if (available <= 0) return {};
    if (static_cast<std::uint64_t>(available) < count) count = static_cast<std::size_t>(available);
    std::string bytes(count, '\0');
    bytes.resize(readAt(offset, bytes.data(), count));
    return bytes;
}

void OpenFile::writeAt(std::int64_t offset, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd_, bytes.data() + done, bytes.size() - done,
                                   offset + static_cast<std::int64_t>(done));
        if (n < 0) {
            if (errno == EINTR) continue;
            throw FileError(FileError::Kind::Write, path_, errno);
        }
        done += static_cast<std::size_t>(n);
    }
    if (size_ >= 0 && offset + static_cast<std::int64_t>(bytes.size()) > size_)
        size_ = offset + static_cast<std::int64_t>(bytes.size());
}

void OpenFile::truncate(std::int64_t size) {
    if (::ftruncate(fd_, size) != 0) throw FileError(FileError::Kind::Write, path_, errno);
    size_ = size;
}

void rewriteWithNewHead(const std::string& path, std::string_view head, std::int64_t keepFrom) {
    const std::string target = resolvedPath(path);
    OpenFile source = OpenFile::forReading(target);
    struct stat st {};
    if (::fstat(source.descriptor(), &st) != 0) throw FileError(FileError::Kind::Read, path, errno);

    TemporaryFile temporary(target);
    writeAll(temporary.fd(), head.data(), head.size(), path);
    std::vector<char> buffer(1 << 16);
    for (std::int64_t offset = keepFrom;;) {
        const std::size_t n = source.readAt(offset, buffer.data(), buffer.size());
        if (n == 0) break;
        writeAll(temporary.fd(), buffer.data(), n, path);
        offset += static_cast<std::int64_t>(n);
    }
    ::fchmod(temporary.fd(), st.st_mode & 07777);
    if (::fchown(temporary.fd(), st.st_uid, st.st_gid) != 0) {
        // Only the owner's group may differ here; the permissions above still hold.
    }
    if (::fsync(temporary.fd()) != 0) throw FileError(FileError::Kind::Write, path, errno);
    temporary.closeFile(path);
    temporary.commitAs(target);
}

}  // namespace quilvane
