#include "support/journal_files.h"

#include <algorithm>
#include <filesystem>

namespace quilvane::test {

std::vector<std::string> journalFiles(const std::string& stateFolder) {
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(stateFolder + "/rename-history", ec))
        if (e.path().extension() == ".journal" && !e.path().filename().string().starts_with(".")) files.push_back(e.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

std::string newestJournal(const std::string& stateFolder) {
    const auto files = journalFiles(stateFolder);
    return files.empty() ? std::string() : files.back();
}

}  // namespace quilvane::test
