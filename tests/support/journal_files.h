#pragma once
// The rename history of a state folder as files: the tests look at what is on disk.
#include <string>
#include <vector>

namespace quilvane::test {

// The batch files under `stateFolder`/rename-history, oldest first.
std::vector<std::string> journalFiles(const std::string& stateFolder);
// The newest of them; empty when there is none.
std::string newestJournal(const std::string& stateFolder);

}  // namespace quilvane::test
