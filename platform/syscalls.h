#pragma once
// The handful of file-system calls that renames are made of, behind an interface so
// that tests can play the file systems we cannot mount here (NFS, FUSE, FAT).
// Every call returns 0 on success or the errno value on failure.
#include <sys/types.h>
#include <string>

namespace quilvane {

struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    friend bool operator==(const FileIdentity& a, const FileIdentity& b) {
        return a.device == b.device && a.inode == b.inode;
    }
};

class SysCalls {
public:
    virtual ~SysCalls() = default;
    // renameat2(..., RENAME_NOREPLACE)
    virtual int renameNoReplace(const std::string& from, const std::string& to) = 0;
    virtual int link(const std::string& from, const std::string& to) = 0;
    virtual int unlink(const std::string& path) = 0;
    // Plain rename(2), which replaces an existing target.
    virtual int rename(const std::string& from, const std::string& to) = 0;
    // lstat(2): the entry itself, a symbolic link not followed.
    virtual int identify(const std::string& path, FileIdentity& out) = 0;
    // Whether the folder's listing holds an entry of exactly this name (bytes compared);
    // false also when the folder cannot be read.
    virtual bool listsName(const std::string& folder, const std::string& name) = 0;
};

SysCalls& realSysCalls();

}  // namespace quilvane
