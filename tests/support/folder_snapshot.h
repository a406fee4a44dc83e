#pragma once
// What a folder tree holds, for proving that an operation lost nothing: every file's
// relative path with a fingerprint of its bytes, and the bag of contents regardless of
// where the files now are.
#include <map>
#include <set>
#include <string>

namespace quilvane::test {

// Relative path -> fingerprint of the bytes, for every file and link of the tree
// (dot-names included; links are recorded as "-> target", never followed).
std::map<std::string, std::string> snapshot(const std::string& root);
// The fingerprints of every file's bytes, wherever the files are.
std::multiset<std::string> contents(const std::string& root);

}  // namespace quilvane::test
