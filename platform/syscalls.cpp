#include "platform/syscalls.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace quilvane {
namespace {

int result(int rc) { return rc == 0 ? 0 : errno; }

class RealSysCalls final : public SysCalls {
public:
    int renameNoReplace(const std::string& from, const std::string& to) override {
        // Called through syscall() so that a C library without the wrapper still builds.
        return result(static_cast<int>(::syscall(SYS_renameat2, AT_FDCWD, from.c_str(), AT_FDCWD,
                                                 to.c_str(), RENAME_NOREPLACE)));
    }
    int link(const std::string& from, const std::string& to) override {
        return result(::link(from.c_str(), to.c_str()));
    }
    int unlink(const std::string& path) override { return result(::unlink(path.c_str())); }
    int rename(const std::string& from, const std::string& to) override {
        return result(::rename(from.c_str(), to.c_str()));
    }
    int identify(const std::string& path, FileIdentity& out) override {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) return errno;
        out.device = st.st_dev;
        out.inode = st.st_ino;
        return 0;
    }
    bool listsName(const std::string& folder, const std::string& name) override {
        DIR* dir = ::opendir(folder.c_str());
        if (dir == nullptr) return false;
        bool found = false;
        while (const dirent* d = ::readdir(dir))
            if (name == d->d_name) {
                found = true;
                break;
            }
        ::closedir(dir);
        return found;
    }
};

}  // namespace

SysCalls& realSysCalls() {
    static RealSysCalls calls;
    return calls;
}

}  // namespace quilvane
