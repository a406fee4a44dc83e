#include "platform/rename_noreplace.h"

#include <atomic>
#include <cerrno>
#include <unistd.h>

#include "platform/paths.h"
#include "platform/text.h"

namespace quilvane {
namespace {

bool existsAt(SysCalls& sys, const std::string& path) {
    FileIdentity id;
    return sys.identify(path, id) == 0;
}

// Neither RENAME_NOREPLACE nor hard links are available (FAT over FUSE, some network
// file systems, and folders everywhere, since folders cannot be hard-linked).
int checkThenRename(const std::string& from, const std::string& to, SysCalls& sys) {
    if (existsAt(sys, to)) return EEXIST;
    // The one accepted race: another process could create `to` between the check above
    // and this rename, which would then replace it. Only file systems that offer no
    // atomic way to refuse an existing target come here.
    return sys.rename(from, to);
}

// For file systems that refuse the RENAME_NOREPLACE flag (NFS, some FUSE mounts):
// link() fails atomically when the target exists, then the old name is dropped.
int linkThenUnlink(const std::string& from, const std::string& to, SysCalls& sys) {
    int rc = sys.link(from, to);
    if (rc == 0) {
        int urc = sys.unlink(from);
        if (urc != 0) {
            // Keep one name only: a rename that half happened would leave two.
            sys.unlink(to);
            return urc;
        }
        return 0;
    }
    if (rc == EPERM || rc == EOPNOTSUPP || rc == ENOTSUP || rc == EMLINK || rc == ENOSYS)
        return checkThenRename(from, to, sys);
    return rc;
}

int renameOnce(const std::string& from, const std::string& to, SysCalls& sys) {
    int rc = sys.renameNoReplace(from, to);
    if (rc == EINVAL || rc == ENOSYS) rc = linkThenUnlink(from, to, sys);
    return rc;
}

bool sameEntry(const std::string& a, const std::string& b, SysCalls& sys) {
    FileIdentity ia, ib;
    return a != b && sys.identify(a, ia) == 0 && sys.identify(b, ib) == 0 && (ia == ib || isCaseAlias(a, b, sys));
}

std::string temporaryNameBeside(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    return joinPath(folderOf(path), ".quilvane-rename-" + std::to_string(::getpid()) + "-" +
                                        std::to_string(counter++));
}

// On a case-insensitive mount "a.mp3" -> "A.mp3" finds the target taken by the source
// itself. Going through a temporary name settles it; should `to` really be another entry
// (two hard links of one file), the second step fails and the first is rolled back.
int renameThroughTemporary(const std::string& from, const std::string& to, SysCalls& sys) {
    const std::string temporary = temporaryNameBeside(to);
    int rc = renameOnce(from, temporary, sys);
    if (rc != 0) return rc;
    rc = renameOnce(temporary, to, sys);
    if (rc != 0) renameOnce(temporary, from, sys);
    return rc;
}

}  // namespace

bool isCaseAlias(const std::string& from, const std::string& to, SysCalls& sys) {
    const std::string folder = folderOf(to);
    const std::string name = fileNameOf(to);
    if (from == to || folderOf(from) != folder || compareIgnoringAsciiCase(fileNameOf(from), name) != 0) return false;
    FileIdentity found;
    return sys.identify(to, found) == 0 && !sys.listsName(folder.empty() ? "." : folder, name);
}

int renameWithoutReplacing(const std::string& from, const std::string& to, SysCalls& sys) {
    int rc = renameOnce(from, to, sys);
    if (rc == EEXIST && sameEntry(from, to, sys)) rc = renameThroughTemporary(from, to, sys);
    return rc;
}

}  // namespace quilvane
