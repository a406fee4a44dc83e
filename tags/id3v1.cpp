#include "tags/id3v1.h"

#include "platform/codepage.h"
#include "platform/file_io.h"
#include "tags/genres.h"

namespace quilvane {

void TID3V1::Clear() {
    Title.clear();
    Artist.clear();
    Album.clear();
    Year.clear();
    Comment.clear();
    Genre = kDefaultGenre;
}

void TID3V1::LoadTag(const std::string& fileName) {
    Clear();
    Modified = false;
    HasTag = false;
    FileName = fileName;
    ReadTag();
}

void TID3V1::ReadTag() { takeBlock(readTagBlock(FileName)); }

void TID3V1::LoadFrom(const std::string& fileName, const OpenFile& file) {
    Clear();
    Modified = false;
    FileName = fileName;
    takeBlock(readTagBlock(file));
}

void TID3V1::takeBlock(const TagBlock& block) {
    loaded_ = block;
    HasTag = loaded_.isTag();
    if (!HasTag) return;
    const LegacyReading tag = loaded_.reading();
    Title = decodeInTag(loaded_.fieldBytes(tagfield::Title), tag);
    Artist = decodeInTag(loaded_.fieldBytes(tagfield::Artist), tag);
    Album = decodeInTag(loaded_.fieldBytes(tagfield::Album), tag);
    Year = decodeInTag(loaded_.fieldBytes(tagfield::Year), tag);
    Comment = decodeInTag(loaded_.fieldBytes(tagfield::Comment), tag);
    Genre = loaded_.genre();
}

void TID3V1::SaveTag() {
    const TagBlock block = editedBlock(loaded_, {Title, Artist, Album, Year, Comment}, Genre);
    writeTagBlock(FileName, block);
    loaded_ = block;
    HasTag = true;
}

// A changed text is written in the code page of the tag it goes into.
LegacyCharset TID3V1::writingCharset() const {
    return HasTag && loaded_.reading().charset == LegacyCharset::Gbk ? LegacyCharset::Gbk : LegacyCharset::Latin1;
}

void TID3V1::RemoveTag() {
    if (!HasTag) return;
    OpenFile file = OpenFile::forReadWrite(FileName);
    const std::int64_t size = file.size();
    // Only a block that still reads "TAG" is cut: should the file have changed since it
    // was read, no audio is cut off.
    if (size >= 128 && file.readStringAt(size - 128, 3) == "TAG") file.truncate(size - 128);
    HasTag = false;
}

void TID3V1::setText(std::string& field, std::string_view text, std::size_t width) {
    if (field == text) return;
    field = fitToLegacyWidth(text, width, writingCharset());
    Modified = true;
}

void TID3V1::SetTitle(std::string_view text) { setText(Title, text, tagfield::Title.width); }
void TID3V1::SetArtist(std::string_view text) { setText(Artist, text, tagfield::Artist.width); }
void TID3V1::SetAlbum(std::string_view text) { setText(Album, text, tagfield::Album.width); }
void TID3V1::SetYear(std::string_view text) { setText(Year, text, tagfield::Year.width); }
void TID3V1::SetComment(std::string_view text) { setText(Comment, text, tagfield::Comment.width); }

void TID3V1::SetGenre(std::uint8_t genre) {
    if (genre == Genre) return;
    Genre = genre < Genres.size() ? genre : kOtherGenre;
    Modified = true;
}

}  // namespace quilvane
