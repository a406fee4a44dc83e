#pragma once
// A real folder in the temporary directory, removed with everything in it at the end.
#include <string>
#include <vector>

namespace quilvane::test {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }

    // Creates the file (and its missing folders) with `content`.
    std::string write(const std::string& relative, const std::string& content = "") const;
    std::string makeFolder(const std::string& relative) const;
    bool exists(const std::string& relative) const;
    std::string read(const std::string& relative) const;
    static std::string readFile(const std::string& path);
    // The names in a folder (dot-names included), sorted.
    std::vector<std::string> names(const std::string& relative = "") const;

private:
    std::string path_;
};

}  // namespace quilvane::test
