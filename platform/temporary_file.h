#pragma once
// A new file written beside the file it will replace, and put in its place in one
// rename once every byte is written. Where the file system allows it the file has no
// name until then (O_TMPFILE), so a crash or a kill leaves nothing behind; elsewhere it
// has a short hidden name (".quilvane-XXXXXX") that fits any folder whatever the length
// of the user's own name, and that is removed on every failure that returns. The file
// is locked (flock) from the moment it has a name until it is in place, so that a later
// run tells a leftover of a killed process from a file still being written.
#include <string>
#include <string_view>

namespace quilvane {

class TemporaryFile {
public:
    // A new, empty file for writing in the folder of `target`; check error() after.
    explicit TemporaryFile(const std::string& target);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // 0, or the errno value of the failure to create the file.
    int error() const { return error_; }
    int fd() const { return fd_; }
    // Writes every byte; 0 or errno.
    int write(std::string_view bytes);
    // Flushes to the disk where asked; 0 or errno. The file stays open (and locked)
    // until it is put in place.
    int finish(bool flushToDisk);
    // Puts the finished file at `target`, replacing whatever entry is there; 0 or errno.
    int replaceTarget();
    // Puts the finished file at `target` only where no entry is: EEXIST when one is (it
    // stays as it was), else 0 or errno.
    int placeAtFreeTarget();

    // For tests: behave as on a file system without unnamed files (FAT, FUSE and network
    // mounts), which this machine's own file systems are not.
    static void useNamedFilesOnly(bool named);

private:
    std::string target_;
    std::string folder_;
    std::string named_;  // the hidden name, when the file has one
    int fd_ = -1;
    int error_ = 0;
    bool committed_ = false;
};

// Names that only this program's temporary files have; a folder holding one that a
// crash left behind may remove it.
bool isTemporaryFileName(std::string_view name);

// Removes the temporary files that killed runs left in `folder`: those of this program's
// names that no running process holds locked. Returns how many were removed.
int removeLeftoverTemporaryFiles(const std::string& folder);

}  // namespace quilvane
