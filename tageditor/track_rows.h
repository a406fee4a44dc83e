#pragma once
// The rows of the track information list: one per MP3 file, its number and twelve
// columns (file name, title, artist, album, year, comment, genre, composer, original
// artist, copyright, URL, encoded by). The list of the current folder takes them from a
// file's ID3v1 tag or its ID3v2 tag; the scan of a folder tree from ID3v2 tags alone.
#include <array>
#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tags/id3v1.h"
#include "tags/id3v2.h"

namespace quilvane {

struct TrackRow {
    std::string number;
    std::array<std::string, 12> cells;  // empty where the row ends early
};

// The row of one file of the list, numbered by its place in the list. Columns 1 to 7
// come from the ID3v1 tag when it has one and `id3v1First`, else from the ID3v2 tag;
// 8 to 12 from the ID3v2 tag. Throws FileError when the file cannot be read.
TrackRow listRow(const std::string& path, const std::string& shownName, int number, bool id3v1First,
                 TID3V1& v1, TID3V2& v2);
// Whether a list entry takes part: its extension, upper-cased and cut to four
// characters, is ".MP3".
bool isListedMp3(std::string_view name);

// The scan of a folder tree for files with an ID3v2 tag: rows numbered in the order
// found. Files that cannot be read are left out; a folder that cannot be read ends the
// scan (its message in `failure`), the rows found so far staying.
class Id3v2Scan {
public:
    Id3v2Scan(std::string folder, const std::atomic<bool>& stop, std::function<bool()> includeSubfolders,
              std::function<void(TrackRow row, const std::string& path)> found);
    // Returns the number of files listed.
    int run();
    const std::string& failure() const { return failure_; }

private:
    void ScanFolder(const std::string& folder);
    bool ScanFile(const std::string& path);

    std::string folder_;
    const std::atomic<bool>& stop_;
    std::function<bool()> includeSubfolders_;
    std::function<void(TrackRow, const std::string&)> found_;
    TID3V2 v2_;
    int done_ = 0;
    std::string failure_;
};

}  // namespace quilvane
