#include "tageditor/track_rows.h"

#include <stdexcept>

#include "platform/display_name.h"
#include "platform/file_error.h"
#include "platform/folder_listing.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "tags/genres.h"
#include "tags/tag_reader.h"

namespace quilvane {
namespace {

// Each value shows up to its first zero byte (several strings of a frame are kept
// apart by one).
std::string shown(const std::string& value) { return value.substr(0, value.find('\0')); }

void fillFromId3v2(TrackRow& row, const TID3V2& v2, bool firstSeven) {
    if (firstSeven) {
        const TID3V2::Slot slots[] = {TID3V2::Title, TID3V2::Artist, TID3V2::Album, TID3V2::Year,
                                      TID3V2::Comment, TID3V2::Genre};
        for (std::size_t i = 0; i < 6; ++i) row.cells[i + 1] = shown(v2.Frames[slots[i]]);
    }
    const TID3V2::Slot rest[] = {TID3V2::Composer, TID3V2::OriginalArtist, TID3V2::Copyright, TID3V2::Url,
                                 TID3V2::EncodedBy};
    for (std::size_t i = 0; i < 5; ++i) row.cells[i + 7] = shown(v2.Frames[rest[i]]);
}

bool isMp3(std::string_view name) {
    const auto dot = name.rfind('.');
    return dot != std::string_view::npos && asciiUpper(name.substr(dot)) == ".MP3";
}

}  // namespace

bool isListedMp3(std::string_view name) {
    const auto dot = name.rfind('.');
    return dot != std::string_view::npos && asciiUpper(name.substr(dot, 4)) == ".MP3";
}

TrackRow listRow(const std::string& path, const std::string& shownName, int number, bool id3v1First,
                 TID3V1& v1, TID3V2& v2) {
    readBothTags(path, v1, v2);
    TrackRow row;
    row.number = std::to_string(number);
    if (v1.HasTag && id3v1First) {
        row.cells[0] = shownName;
        const std::string* texts[] = {&v1.Title, &v1.Artist, &v1.Album, &v1.Year, &v1.Comment};
        for (std::size_t i = 0; i < 5; ++i) row.cells[i + 1] = *texts[i];
        row.cells[6] = std::string(GenreName(v1.Genre));
    } else if (v2.HasTag) {
        row.cells[0] = shownName;
        fillFromId3v2(row, v2, true);
    }
    if (v2.HasTag) fillFromId3v2(row, v2, false);
    return row;
}

Id3v2Scan::Id3v2Scan(std::string folder, const std::atomic<bool>& stop, std::function<bool()> includeSubfolders,
                     std::function<void(TrackRow, const std::string&)> found)
    : folder_(std::move(folder)), stop_(stop), includeSubfolders_(std::move(includeSubfolders)), found_(std::move(found)) {}

int Id3v2Scan::run() {
    done_ = 0;
    failure_.clear();
    if (folder_.empty()) return 0;
    try {
        ScanFolder(folder_);
    } catch (const std::runtime_error& e) {
        failure_ = e.what();
    }
    return done_;
}

void Id3v2Scan::ScanFolder(const std::string& folder) {
    std::vector<FolderEntry> entries;
    if (const int rc = listFolder(folder, entries); rc != 0)
        throw std::runtime_error(unreadableFolderMessage({folder, rc}));
    for (const FolderEntry& entry : entries) {
        if (stop_) return;
        const std::string path = joinPath(folder, entry.name);
        if (entry.kind == EntryKind::File) {
            if (ScanFile(path)) ++done_;
        } else if (entry.isDescendable() && includeSubfolders_ && includeSubfolders_()) {
            ScanFolder(path);
        }
    }
}

bool Id3v2Scan::ScanFile(const std::string& path) {
    if (!isMp3(fileNameOf(path))) return false;
    try {
        readId3v2(path, v2_, OpenFile::Known::ListedAsRegularFile);
    } catch (const FileError&) {
        return false;  // a file that cannot be read is left out; the scan goes on
    }
    if (!v2_.HasTag) return false;
    TrackRow row;
    row.number = std::to_string(done_ + 1);
    row.cells[0] = displayName(fileNameOf(path));
    fillFromId3v2(row, v2_, true);
    if (found_) found_(std::move(row), path);
    return true;
}

}  // namespace quilvane
