#include "platform/simulated_syscalls.h"

#include <cerrno>

#include "platform/paths.h"

namespace quilvane {

int SimulatedSysCalls::identify(const std::string& path, FileIdentity& out) {
    if (const auto found = changed_.find(path); found != changed_.end()) {
        if (!found->second) return ENOENT;
        out = *found->second;
        return 0;
    }
    return realSysCalls().identify(path, out);
}

bool SimulatedSysCalls::listsName(const std::string& folder, const std::string& name) {
    if (const auto found = changed_.find(joinPath(folder, name)); found != changed_.end()) return found->second.has_value();
    return realSysCalls().listsName(folder, name);
}

int SimulatedSysCalls::rename(const std::string& from, const std::string& to) {
    FileIdentity moved;
    if (const int rc = identify(from, moved)) return rc;
    if (from == to) return 0;
    changed_[from] = std::nullopt;
    changed_[to] = moved;
    return 0;
}

int SimulatedSysCalls::renameNoReplace(const std::string& from, const std::string& to) {
    FileIdentity held;
    if (identify(to, held) == 0) return EEXIST;
    return rename(from, to);
}

int SimulatedSysCalls::link(const std::string&, const std::string&) { return EPERM; }

int SimulatedSysCalls::unlink(const std::string& path) {
    FileIdentity gone;
    if (const int rc = identify(path, gone)) return rc;
    changed_[path] = std::nullopt;
    return 0;
}

}  // namespace quilvane
