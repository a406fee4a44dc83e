#pragma once
// Sorting files into per-artist folders (the artist being the part of the file name
// before the last separator), or gathering them into one folder. A file that would be
// moved or copied onto itself (the folders may all be the same), or onto another file
// of the same name, stays where it is and counts as skipped, so sorting never loses a
// byte.
#include <atomic>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "rename/undo_list.h"
#include "platform/folder_listing.h"

namespace quilvane {

struct SortSettings {
    std::string searchPath;
    std::string destPath;     // artist mode: where the artist folders go
    std::string collectPath;  // collect mode: the folder that gathers every file
    std::string extFilter;    // with restrictExt: ".MP3" and the like, compared exactly
    std::string separator = "-";
    bool byArtist = true;
    bool withSubfolders = false;
    bool keepOriginal = false;  // artist mode copies instead of moving
    bool onlyExisting = false;  // only into folders that exist already
    bool restrictExt = false;
    // Decides every file as a run would, but moves, copies, creates and removes nothing.
    bool dryRun = false;
};

struct SortCounts {
    std::int32_t sorted = 0;
    std::int32_t skipped = 0;
    std::vector<UnreadableFolder> unreadable;  // folders whose files were not looked at
};

class FileSorter {
public:
    FileSorter(SortSettings settings, const std::atomic<bool>& stop,
               std::function<void(const SortCounts&)> progress);

    // Sorts the search folder and removes it when nothing is left in it (unless the
    // originals are kept). Stops after the entry in hand when `stop` is set. A transfer
    // that fails throws TransferError; what was done until then stays done.
    SortCounts run();
    const SortCounts& counts() const { return counts_; }
    // Every file moved goes to `log` (and its journal) as a rename, announced before it
    // is made, so that the sorting can be undone like a batch of renames. Copies are not.
    void journalTo(UndoList* log) { log_ = log; }
    // Told of each file sorted (or, in a dry run, that would be).
    void reportSorted(std::function<void(const std::string& from, const std::string& to)> sorted) {
        sorted_ = std::move(sorted);
    }

private:
    // Returns the number of files left in the folder's tree.
    int sortFolder(const std::string& folder);
    // Returns true when the file stays where it is.
    bool sortFile(const std::string& folder, const std::string& name);

    SortSettings settings_;
    const std::atomic<bool>& stop_;
    std::function<void(const SortCounts&)> progress_;
    std::function<void(const std::string&, const std::string&)> sorted_;
    SortCounts counts_;
    std::set<std::string> plannedTargets_;  // a dry run's: names a file would have taken
    UndoList* log_ = nullptr;
};

// The artist of a file name: the text before its last separator, trimmed; empty when
// the name has no separator (or when it would name "." or "..").
std::string artistOf(const std::string& name, const std::string& separator);

}  // namespace quilvane
