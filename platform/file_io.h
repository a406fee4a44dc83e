#pragma once
// An open regular file with positioned reads and writes that report failures as
// FileError, and that is closed on every path out. Pipes, devices and sockets are
// refused (FileError NotRegularFile) without being opened.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_error.h"
#include "platform/syscalls.h"

namespace quilvane {

class OpenFile {
public:
    // Where the caller knows the entry: a folder listing that found a regular file.
    enum class Known { Nothing, ListedAsRegularFile };

    // A name not known to be a regular file is looked at before it is opened, so that
    // a pipe or a device is never opened at all; a name a listing just found to be one
    // is opened at once (what was opened is checked all the same).
    static OpenFile forReading(const std::string& path, Known known = Known::Nothing);
    static OpenFile forReadWrite(const std::string& path, Known known = Known::Nothing);
    OpenFile(OpenFile&& other) noexcept;
    OpenFile& operator=(OpenFile&&) = delete;
    OpenFile(const OpenFile&) = delete;
    ~OpenFile();

    // The size when opened, kept up to date by this object's own writes.
    std::int64_t size() const;
    // Reads up to `count` bytes at `offset`; fewer only at the end of the file.
    std::size_t readAt(std::int64_t offset, char* buffer, std::size_t count) const;
    // The bytes [offset, offset + count), or fewer where the file ends.
    std::string readStringAt(std::int64_t offset, std::size_t count) const;
    // Writes every byte or throws.
    void writeAt(std::int64_t offset, std::string_view bytes);
    void truncate(std::int64_t size);
    int descriptor() const { return fd_; }
    const std::string& path() const { return path_; }
    // The file that was opened (device and inode), and whether its name was a symbolic
    // link then: a write checks that it writes the very file it read.
    const FileIdentity& identity() const { return identity_; }
    bool openedThroughLink() const { return throughLink_; }

private:
    static OpenFile open(const std::string& path, int flags, Known known = Known::Nothing);
    OpenFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    int fd_;
    std::string path_;
    std::int64_t size_ = 0;
    FileIdentity identity_;
    bool throughLink_ = false;
};

// What a tag object saw of its file when it read it: a write refuses a file that is no
// longer the same one (replaced, or its name turned into a link to another file).
struct FileSeen {
    FileIdentity identity;
    bool throughLink = false;
    std::int64_t size = 0;

    static FileSeen of(const OpenFile& file) { return {file.identity(), file.openedThroughLink(), file.size()}; }
    bool sameFile(const OpenFile& file) const {
        return identity == file.identity() && throughLink == file.openedThroughLink() && size == file.size();
    }
};

// A 64-bit digest of bytes, kept in memory: enough to notice another program's edit of a tag.
std::uint64_t digestOf(std::string_view bytes);

class ReplacementGroup;

// Replaces `source` by `head` followed by its own bytes [keepFrom, keepTo), streamed,
// never held whole. The new file is written beside the old one and renamed over it only
// when every byte is written and flushed, so a failure (a full disk, a size limit, a
// crash) leaves the original as it was, and no temporary file is left behind by a
// failure that returns. Permissions, and the owner where allowed, are kept; a symbolic
// link keeps pointing at the rewritten file. With a group, the flush and the rename are
// left to it (the file keeps its old bytes until then). Returns what the name will hold.
FileSeen rewriteWithNewHead(const OpenFile& source, std::string_view head, std::int64_t keepFrom, std::int64_t keepTo,
                            ReplacementGroup* group = nullptr);

}  // namespace quilvane
