#pragma once
// One file's ID3v1 tag as separate texts (UTF-8 in memory, legacy bytes in the file),
// with setters that keep each text within its field's width in bytes.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "tags/tag_block.h"

namespace quilvane {

class TID3V1 {
public:
    std::string Title, Artist, Album, Year, Comment;
    std::uint8_t Genre = 53;
    std::string FileName;
    bool HasTag = false;    // the file ended in a tag when last read
    bool Modified = false;  // a setter changed a value since the last LoadTag

    // Empties the texts and sets the default genre; the file state stays.
    void Clear();
    void LoadTag(const std::string& fileName);
    void ReadTag();
    // LoadTag from a file already open (FileName becomes `fileName`), whose last 128
    // bytes may have been read already.
    void LoadFrom(const std::string& fileName, const OpenFile& file, const TagBlock* block = nullptr);
    // Writes the fields as the file's tag (over an existing one, else appended). Fields
    // whose text was not changed since the tag was read keep their bytes, so a save
    // that changes nothing leaves the file as it was.
    void SaveTag();
    // Cuts the tag off the file if it has one.
    void RemoveTag();
    // SaveTag and RemoveTag write only the file last read, as it was read: another
    // program's edit (a different block at the end, another size, another file under the
    // name, a name turned into a link) is refused with FileError ChangedSinceLoad, and a
    // reading that failed leaves nothing to write (NotLoaded). After the other tag of the
    // same file was written through this program, the object takes the file as it is
    // now, provided its last 128 bytes are still the ones it read.
    void followOtherTagWrite();
    // Forgets the file last read: nothing can be written until a reading of `fileName`
    // succeeds.
    void forgetFile(const std::string& fileName);
    // A batch's one opening of the file (read and write), for the writes that follow a
    // reading from it: the file is not opened or read again. Null to open by name.
    void writeThrough(OpenFile* file) { held_ = file; }

    void SetTitle(std::string_view text);
    void SetArtist(std::string_view text);
    void SetAlbum(std::string_view text);
    void SetYear(std::string_view text);
    void SetComment(std::string_view text);
    // Numbers above 147 become 12 ("Other").
    void SetGenre(std::uint8_t genre);

    // How the legacy texts of the tag last read are encoded.
    LegacyReading reading() const { return loaded_.reading(); }

private:
    void setText(std::string& field, std::string_view text, std::size_t width);
    void takeBlock(const TagBlock& block);
    // The file for a write, refused unless it is the file last read, unchanged: the
    // shared opening, or a new one held in `opened`.
    OpenFile& openUnchanged(std::optional<OpenFile>& opened) const;

    TagBlock loaded_;  // the block as last read or written (no tag: zeros)
    std::optional<FileSeen> seen_;  // nothing until a reading succeeds
    OpenFile* held_ = nullptr;
};

}  // namespace quilvane
