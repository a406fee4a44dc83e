#pragma once
// One file's ID3v2 tag: twelve frames the program edits, held as texts, and every
// other frame kept byte for byte. Reads versions 2.2, 2.3 and 2.4; a tag keeps its
// version when written, and a file without one gets 2.3.
#include <array>
#include <map>
#include <optional>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_io.h"
#include "platform/legacy_text.h"
#include "tags/id3v2_frames.h"
#include "tags/tag_block.h"

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

    // Empties the twelve texts and forgets the tag's other frames: the next save replaces
    // the file's tag with the twelve frames alone. What the object knows of the file's
    // layout stays.
    void Clear();
    // Forgets the file last read: nothing can be written until a reading of `fileName`
    // succeeds.
    void forgetFile(const std::string& fileName);
    void LoadTag(const std::string& fileName);
    void ReadTag();
    // ReadTag from a file already open, whose first bytes (kFirstRead of them, or the
    // whole of a shorter file) were read already, and maybe its ID3v1 block (the last
    // 128 bytes; zeros in a shorter file): what readers of both tags share.
    void ReadFrom(const OpenFile& file, std::string_view start, const TagBlock* tail = nullptr);
    static constexpr std::size_t kFirstRead = 1024;
    // Writes the tag. Only the frames whose text changed since the tag was read are
    // written anew (a changed text frame also drops later frames of its kind, which the
    // format does not allow); every other frame keeps its bytes, and a save that changes
    // nothing writes nothing. A file without a tag gets one of the twelve frames.
    // False, with the file unchanged, when the twelve frames would need more than 2000
    // bytes. Throws FileError when the file cannot be written, leaving it as it was;
    // ChangedSinceLoad when the file is no longer the one the last reading saw, as it
    // was (another file under the name, a name turned into a link, another size, other
    // bytes in the tag or in the ID3v1 block), NotLoaded after a failed reading;
    // UnreadableCharacter when a
    // changed text still holds a character that could not be read (U+FFFD).
    bool SaveTag();
    // Whether SaveTag would find the twelve frames within their limit (nothing written).
    bool fitsManagedLimit() const;
    // The last SaveTag wrote the file (it had something to change, and it fitted).
    bool lastSaveWrote() const { return wrote_; }
    // Removes the tag from the file, under the same check; with `alsoId3v1`, its ID3v1
    // block too, in the same rewrite. With a replacement group (below) the object then
    // knows no file until it reads one again.
    void RemoveTag(bool alsoId3v1 = false);
    // After the ID3v1 block of the same file was written through this program (and the
    // same opening, where one is shared), the object takes the file as it is now,
    // provided its head is still the one it read.
    void followOtherTagWrite();

    // A batch's one opening of the file (read and write), for the writes that follow a
    // reading from it: the file is not opened or read again, and a reading from it
    // without the ID3v1 block at hand leaves that block unread. Null to open by name.
    void writeThrough(OpenFile* file) { held_ = file; }
    // Rewrites of a batch are flushed and put in place by `group` (null: each on its own).
    void deferReplacementsTo(ReplacementGroup* group) { group_ = group; }
    // Writes the tag with the frames at the given positions (in frames()) replaced and
    // `added` after the others; a file without a tag gets a version 2.3 tag of `added`
    // alone. Every other frame keeps its bytes. The checks and the atomic rewrite of
    // SaveTag, without its limit on the twelve frames' size (a repaired tag may need more).
    void SaveFrames(const std::map<std::size_t, id3v2::RawFrame>& replaced, const std::vector<id3v2::RawFrame>& added);

    // Every frame of the tag as read, in file order, and the content of one with its
    // transport encodings undone (nothing when it is compressed or encrypted).
    const std::vector<id3v2::RawFrame>& frames() const { return frames_; }
    std::optional<std::string> contentOf(std::size_t index) const;

    int GetGenre() const;
    void SetGenre(std::uint8_t genre);

    int version() const { return major_; }
    // How the tag's legacy (encoding 0) texts are encoded.
    LegacyReading legacyReading() const { return reading_; }
    // The frames that fill none of the twelve slots, as read.
    std::vector<id3v2::RawFrame> keptFrames() const;

private:
    // The file as the last reading (or this object's own last write) left it.
    struct FileState {
        FileSeen seen;             // which file, under what kind of name, of what size
        std::string head;          // its first ten bytes (fewer in a shorter file)
        TagBlock tail;             // its last 128 bytes (zeros in a shorter file)
        std::uint64_t tagDigest = 0;  // of the header and frame area as read
        std::int64_t tagSize = 0;  // bytes of the tag at its start, 0 without one
        bool beyondEnd = false;    // the header claims more bytes than the file has
        bool unreadable = false;   // a version or layout this program cannot rewrite
    };
    static FileState inspect(const OpenFile& file, std::string_view start, const TagBlock* tail, bool needTail);
    // The file for a write, refused unless it is the file last read, unchanged: the
    // shared opening, or a new one held in `opened`.
    OpenFile& openUnchanged(std::optional<OpenFile>& opened) const;
    std::uint64_t tagDigestIn(const OpenFile& file) const;
    void forgetFrames();
    void readFrames(std::string area);
    void adoptWritten(const std::string& tag, const FileSeen& written, const TagBlock& tail);
    void chooseSlots(const std::vector<std::optional<std::string>>& contents);

    std::vector<id3v2::RawFrame> framesToWrite(bool& anyChange) const;
    id3v2::RawFrame renderSlot(int slot, const id3v2::RawFrame* before) const;
    std::string renderTag(const std::vector<id3v2::RawFrame>& frames, std::int64_t totalSize) const;
    void writeFrames(const std::vector<id3v2::RawFrame>& frames);

    int major_ = 3;
    std::vector<id3v2::RawFrame> frames_;  // every frame of the tag, in file order
    std::array<int, 12> chosen_{};         // the frame each slot shows, -1 for none
    std::array<std::string, 12> loaded_;   // each slot's text as read
    bool replaceAll_ = false;              // Clear() was called: write the twelve alone
    std::string rest_;  // bytes after the last frame that are not padding
    id3v2::CommentParts comment_;
    id3v2::UrlParts url_;
    LegacyReading reading_;
    std::optional<FileState> file_;
    bool wrote_ = false;
    OpenFile* held_ = nullptr;
    ReplacementGroup* group_ = nullptr;
};

}  // namespace quilvane
