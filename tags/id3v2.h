#pragma once
// One file's ID3v2 tag: twelve frames the program edits, held as texts, and every
// other frame kept byte for byte. Reads versions 2.2, 2.3 and 2.4; a tag keeps its
// version when written, and a file without one gets 2.3.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

    void Clear();
    void LoadTag(const std::string& fileName);
    void ReadTag();
    // Writes the tag. False, with the file unchanged, when the twelve frames would need
    // more than 2000 bytes. Throws FileError when the file cannot be written, leaving
    // it as it was.
    bool SaveTag();
    // Removes the tag from the file.
    void RemoveTag();

    int GetGenre() const;
    void SetGenre(std::uint8_t genre);

    int version() const { return major_; }
    // The frames kept as they were (everything but the twelve).
    const std::vector<id3v2::RawFrame>& keptFrames() const { return kept_; }

private:
    std::string renderTag(const std::vector<id3v2::RawFrame>& managed, std::int64_t totalSize) const;
    std::vector<id3v2::RawFrame> renderManagedFrames() const;
    void takeFrame(const id3v2::RawFrame& frame, bool tagUnsynchronised);
    void refuseMalformed() const;

    int major_ = 3;
    std::vector<id3v2::RawFrame> kept_;
    std::string rest_;  // bytes after the last frame that are not padding
    id3v2::CommentParts comment_;
    id3v2::UrlParts url_;
    bool beyondEnd_ = false;  // the header claims more bytes than the file has
    bool unreadable_ = false; // a version or layout this program cannot rewrite
};

}  // namespace quilvane
