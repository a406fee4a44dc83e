#pragma once
// Renames played on a picture of the disk instead of the disk: what a batch would do,
// decided exactly as it would be (names held, chains, cycles), while nothing is touched.
// Entries the batch has not moved are looked up on the real disk.
#include <optional>
#include <string>
#include <unordered_map>

#include "platform/syscalls.h"

namespace quilvane {

class SimulatedSysCalls final : public SysCalls {
public:
    int renameNoReplace(const std::string& from, const std::string& to) override;
    // Hard links are refused, as on a file system without them: renames go by renameNoReplace.
    int link(const std::string& from, const std::string& to) override;
    int unlink(const std::string& path) override;
    int rename(const std::string& from, const std::string& to) override;
    int identify(const std::string& path, FileIdentity& out) override;
    bool listsName(const std::string& folder, const std::string& name) override;

private:
    // What the simulated renames changed: an entry moved here (its identity), or gone.
    std::unordered_map<std::string, std::optional<FileIdentity>> changed_;
};

}  // namespace quilvane
