#pragma once
// One file's ID3v2 tag: twelve frames the program edits, held as texts, and every
// other frame kept byte for byte. Reads versions 2.2, 2.3 and 2.4; a tag keeps its
// version when written, and a file without one gets 2.3.
#include <array>
#include <optional>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_io.h"
#include "tags/id3v2_frames.h"

namespace quilvane {

class TID3V2 {
public:
    // The twelve managed frames, in the order they are written.
    static constexpr std::array<std::string_view, 12> FrameIds{
        "TRCK", "TENC", "WXXX", "TCOP", "TOPE", "TCOM", "TCON", "COMM", "TYER", "TALB", "TPE1", "TIT2"};
    enum Slot { Track, EncodedBy, Url, Copyright, OriginalArtist, Composer, Genre, Comment, Year,
                Album, Artist, Title };

    std::array<unsigned char, 10> Header{};
    std::array<std::string, 12> Frames;  // UTF-8; empty when the frame is absent
    std::string FileName;
    std::int64_t TagSize = 0;  // bytes the tag takes at the start of the file, 0 without one
    bool HasTag = false;

    // Empties what the object holds; what it knows of the file's layout stays, so a save
    // after Clear replaces the file's tag.
    void Clear();
    void LoadTag(const std::string& fileName);
    void ReadTag();
    // Writes the tag. False, with the file unchanged, when the twelve frames would need
    // more than 2000 bytes. Throws FileError when the file cannot be written, leaving
    // it as it was, and (ChangedSinceLoad) when the file's size or first bytes are no
    // longer what the last reading saw: a write by an old layout would cut audio.
    bool SaveTag();
    // Removes the tag from the file, under the same check.
    void RemoveTag();

    int GetGenre() const;
    void SetGenre(std::uint8_t genre);

    int version() const { return major_; }
    // The frames kept as they were (everything but the twelve).
    const std::vector<id3v2::RawFrame>& keptFrames() const { return kept_; }

private:
    // The file as the last reading (or this object's own last write) left it.
    struct FileState {
        std::int64_t size = 0;
        std::string head;          // its first ten bytes (fewer in a shorter file)
        std::int64_t tagSize = 0;  // bytes of the tag at its start, 0 without one
        bool beyondEnd = false;    // the header claims more bytes than the file has
        bool unreadable = false;   // a version or layout this program cannot rewrite
    };
    static FileState inspect(const OpenFile& file);
    OpenFile openUnchanged() const;
    void rememberFile();

    std::string renderTag(const std::vector<id3v2::RawFrame>& managed, std::int64_t totalSize) const;
    std::vector<id3v2::RawFrame> renderManagedFrames() const;
    void takeFrame(const id3v2::RawFrame& frame, bool tagUnsynchronised);

    int major_ = 3;
    std::vector<id3v2::RawFrame> kept_;
    std::string rest_;  // bytes after the last frame that are not padding
    id3v2::CommentParts comment_;
    id3v2::UrlParts url_;
    std::optional<FileState> file_;
};

}  // namespace quilvane
