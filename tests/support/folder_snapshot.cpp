#include "support/folder_snapshot.h"

#include <filesystem>

#include "support/id3_builder.h"
#include "support/temp_folder.h"

namespace quilvane::test {
namespace fs = std::filesystem;

std::map<std::string, std::string> snapshot(const std::string& root) {
    std::map<std::string, std::string> files;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::end(it); it.increment(ec)) {
        const std::string relative = it->path().lexically_relative(root).string();
        if (it->is_symlink()) files[relative] = "-> " + fs::read_symlink(it->path()).string();
        else if (it->is_regular_file()) files[relative] = fingerprint(TempFolder::readFile(it->path().string()));
    }
    return files;
}

std::multiset<std::string> contents(const std::string& root) {
    std::multiset<std::string> all;
    for (const auto& [path, print] : snapshot(root))
        if (!print.starts_with("-> ")) all.insert(print);
    return all;
}

}  // namespace quilvane::test
