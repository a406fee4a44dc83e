#pragma once
// Folder listing with the walk semantics every part of the program shares: names
// beginning with '.' skipped, and
// symbolic links to folders told apart so that no walk descends into them (a walk
// always ends). Names are the file system's bytes, whatever their encoding.
#include <functional>
#include <string>
#include <vector>

namespace quilvane {

enum class EntryKind : unsigned char {
    File,          // a regular file, or a link to one
    Folder,        // a real folder: walks descend into it
    LinkToFolder,  // shown as a folder, never descended into
    Special,       // device, socket, pipe, dangling link
};

struct FolderEntry {
    std::string name;
    EntryKind kind = EntryKind::File;

    bool isFolder() const { return kind == EntryKind::Folder || kind == EntryKind::LinkToFolder; }
    bool isDescendable() const { return kind == EntryKind::Folder; }
};

// A folder a walk could not read, and why (errno).
struct UnreadableFolder {
    std::string folder;
    int error = 0;
};
// "无法进入文件夹 <folder>：<reason>"
std::string unreadableFolderMessage(const UnreadableFolder& failure);

// Calls `visit` for each entry, in the order the file system returns them; `visit`
// returns false to stop early. Returns 0, or the errno value when the folder cannot be
// opened.
int forEachEntry(const std::string& folder, const std::function<bool(const FolderEntry&)>& visit);
// The entries in list order (platform/list_order.h), which every walk that the user can
// see follows.
int listFolder(const std::string& folder, std::vector<FolderEntry>& out);
// The same, telling whether the folder holds one of this program's temporary files (a
// hidden name, not listed).
int listFolderSeeingLeftovers(const std::string& folder, std::vector<FolderEntry>& out, bool& holdsTemporaryFiles);

}  // namespace quilvane
