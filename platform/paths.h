#pragma once
// Paths are the file system's own bytes, '/'-separated and absolute where they come
// from the windows. Nothing here converts encodings.
#include <string>
#include <string_view>

namespace quilvane {

// The folder and the name with one '/' between them; a folder that already ends in '/'
// (the root) is not given a second one.
std::string joinPath(std::string_view folder, std::string_view name);
// The part of a path after its last '/'.
std::string fileNameOf(std::string_view path);
// The part of a path before its last '/'; "/" for an entry of the root.
std::string folderOf(std::string_view path);

std::string currentDirectory();
// Returns 0 or the errno value.
int setCurrentDirectory(const std::string& path);

// Following symbolic links, as a user sees the entry.
bool pathExists(const std::string& path);
bool isFolder(const std::string& path);
// An entry that exists and is not a folder.
bool isFile(const std::string& path);

// A regular file (following links): not a folder, pipe, device or socket.
bool isRegularFile(const std::string& path);

// Both names are the same entry: the same path, the same device and inode (hard links,
// a link to it, or one name in another letter case on a case-insensitive mount), or a
// case alias that the mount gives an inode number of its own (FAT through FUSE).
bool sameEntry(const std::string& a, const std::string& b);

// Creates the folder and every missing folder above it. Returns 0 or errno.
int createFolders(const std::string& path);

}  // namespace quilvane
