#include "support/temp_folder.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>

namespace quilvane::test {
namespace fs = std::filesystem;

TempFolder::TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "quilvane-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ec;
    // Entries made read-only by a test must not keep the tree from going away.
    for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::end(it); it.increment(ec))
        ::chmod(it->path().c_str(), it->is_directory() && !it->is_symlink() ? 0755 : 0644);
    fs::remove_all(path_, ec);
}

std::string TempFolder::write(const std::string& relative, const std::string& content) const {
    const fs::path p = fs::path(path_) / relative;
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << content;
    return p.string();
}

std::string TempFolder::makeFolder(const std::string& relative) const {
    const fs::path p = fs::path(path_) / relative;
    fs::create_directories(p);
    return p.string();
}

bool TempFolder::exists(const std::string& relative) const {
    struct stat st {};
    return ::lstat((fs::path(path_) / relative).c_str(), &st) == 0;
}

std::string TempFolder::read(const std::string& relative) const { return readFile(path_ + "/" + relative); }

std::string TempFolder::readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> TempFolder::names(const std::string& relative) const {
    std::vector<std::string> found;
    const std::string folder = relative.empty() ? path_ : path_ + "/" + relative;
    if (DIR* d = ::opendir(folder.c_str())) {
        while (const dirent* e = ::readdir(d)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..") found.push_back(name);
        }
        ::closedir(d);
    }
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace quilvane::test
