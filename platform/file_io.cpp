#include "platform/file_io.h"

#include <cerrno>
#include <algorithm>
#include <climits>
#include <functional>
#include <memory>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/replacement_group.h"
#include "platform/temporary_file.h"

namespace quilvane {
namespace {

// Only regular files are opened: a pipe or a device would block the reader for good or
// hand it endless bytes. The type is checked before opening, and again on what was
// opened in case the entry was swapped in between.
int openOrThrow(const std::string& path, int flags, bool lookFirst, std::int64_t& size, FileIdentity& identity,
                bool& throughLink) {
    struct stat st {};
    if (lookFirst && ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        throw FileError(FileError::Kind::NotRegularFile, path, 0);
    // Whether the name is a link costs nothing where it is none: the open that does not
    // follow one succeeds.
    const int open = flags | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    int fd = ::open(path.c_str(), open | O_NOFOLLOW);
    throughLink = fd < 0 && errno == ELOOP;
    if (throughLink) fd = ::open(path.c_str(), open);
    if (fd < 0) throw FileError(FileError::Kind::Open, path, errno);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw FileError(FileError::Kind::NotRegularFile, path, 0);
    }
    size = st.st_size;
    identity = {st.st_dev, st.st_ino};
    return fd;
}

std::string resolvedPath(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr) throw FileError(FileError::Kind::Open, path, errno);
    std::string resolved(real);
    std::free(real);
    return resolved;
}

}  // namespace

OpenFile OpenFile::forReading(const std::string& path, Known known) { return open(path, O_RDONLY, known); }

OpenFile OpenFile::forReadWrite(const std::string& path, Known known) { return open(path, O_RDWR, known); }

OpenFile OpenFile::open(const std::string& path, int flags, Known known) {
    std::int64_t size = 0;
    FileIdentity identity;
    bool throughLink = false;
    const int fd = openOrThrow(path, flags, known != Known::ListedAsRegularFile, size, identity, throughLink);
    OpenFile file(fd, path);
    file.size_ = size;
    file.identity_ = identity;
    file.throughLink_ = throughLink;
    return file;
}

OpenFile::OpenFile(OpenFile&& other) noexcept
    : fd_(other.fd_), path_(std::move(other.path_)), size_(other.size_), identity_(other.identity_),
      throughLink_(other.throughLink_) {
    other.fd_ = -1;
}

std::uint64_t digestOf(std::string_view bytes) {
    // Eight bytes at a time (the library's string hash); kept in memory only.
    return std::hash<std::string_view>{}(bytes);
}

OpenFile::~OpenFile() {
    if (fd_ >= 0) ::close(fd_);
}

std::int64_t OpenFile::size() const { return size_; }

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
    if (offset + static_cast<std::int64_t>(bytes.size()) > size_)
        size_ = offset + static_cast<std::int64_t>(bytes.size());
}

void OpenFile::truncate(std::int64_t size) {
    if (::ftruncate(fd_, size) != 0) throw FileError(FileError::Kind::Write, path_, errno);
    size_ = size;
}

FileSeen rewriteWithNewHead(const OpenFile& source, std::string_view head, std::int64_t keepFrom, std::int64_t keepTo,
                            ReplacementGroup* group) {
    const std::string& path = source.path();
    // The new file goes where the old one is, beside a link's target.
    const std::string target = source.openedThroughLink() ? resolvedPath(path) : path;
    struct stat st {};
    if (::fstat(source.descriptor(), &st) != 0) throw FileError(FileError::Kind::Read, path, errno);

    auto temporary = std::make_unique<TemporaryFile>(target);
    if (temporary->error() != 0) throw FileError(FileError::Kind::Create, path, temporary->error());
    const auto check = [&path](int rc) {
        if (rc != 0) throw FileError(FileError::Kind::Write, path, rc);
    };
    check(temporary->write(head));
    std::vector<char> buffer(1 << 16);
    for (std::int64_t offset = keepFrom; offset < keepTo;) {
        const auto wanted = static_cast<std::size_t>(std::min<std::int64_t>(keepTo - offset, std::int64_t{1} << 16));
        const std::size_t n = source.readAt(offset, buffer.data(), wanted);
        if (n == 0) break;
        check(temporary->write(std::string_view(buffer.data(), n)));
        offset += static_cast<std::int64_t>(n);
    }
    ::fchmod(temporary->fd(), st.st_mode & 07777);
    if (::fchown(temporary->fd(), st.st_uid, st.st_gid) != 0) {
        // Only the owner's group may differ here; the permissions above still hold.
    }
    struct stat written {};
    if (::fstat(temporary->fd(), &written) != 0) throw FileError(FileError::Kind::Write, path, errno);
    const FileSeen seen{{written.st_dev, written.st_ino}, source.openedThroughLink(), written.st_size};
    if (group != nullptr) {
        // The original stays open until it is replaced: its blocks are freed when the
        // group closes it, away from this thread and the renames.
        const int original = ::fcntl(source.descriptor(), F_DUPFD_CLOEXEC, 0);
        group->add(std::move(temporary), target, path, {{st.st_dev, st.st_ino}, st.st_size, st.st_mtim}, original);
        return seen;
    }
    check(temporary->finish(true));
    check(temporary->replaceTarget());
    return seen;
}

}  // namespace quilvane
