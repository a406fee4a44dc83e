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

void TID3V1::forgetFile(const std::string& fileName) {
    Clear();
    Modified = false;
    HasTag = false;
    FileName = fileName;
    loaded_ = {};
    seen_.reset();
}

void TID3V1::LoadTag(const std::string& fileName) {
    forgetFile(fileName);
    ReadTag();
}

void TID3V1::ReadTag() {
    const std::string name = FileName;
    LoadFrom(name, OpenFile::forReading(name));
}

void TID3V1::LoadFrom(const std::string& fileName, const OpenFile& file, const TagBlock* block) {
    forgetFile(fileName);
    takeBlock(block ? *block : readTagBlock(file));
    seen_ = FileSeen::of(file);
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

OpenFile& TID3V1::openUnchanged(std::optional<OpenFile>& opened) const {
    if (!seen_) throw FileError(FileError::Kind::NotLoaded, FileName, 0);
    if (held_ != nullptr) {
        // The batch's opening was read a moment ago, through this very descriptor.
        if (!seen_->sameFile(*held_)) throw FileError(FileError::Kind::ChangedSinceLoad, FileName, 0);
        return *held_;
    }
    OpenFile& file = opened.emplace(OpenFile::forReadWrite(FileName));
    if (!seen_->sameFile(file) || readTagBlock(file).bytes != loaded_.bytes)
        throw FileError(FileError::Kind::ChangedSinceLoad, FileName, 0);
    return file;
}

void TID3V1::followOtherTagWrite() {
    if (!seen_) return;
    std::optional<OpenFile> opened;
    const OpenFile& file = held_ != nullptr ? *held_ : opened.emplace(OpenFile::forReading(FileName));
    if (readTagBlock(file).bytes != loaded_.bytes) throw FileError(FileError::Kind::ChangedSinceLoad, FileName, 0);
    seen_ = FileSeen::of(file);
}

void TID3V1::SaveTag() {
    TagBlock block;
    try {
        block = editedBlock(loaded_, {Title, Artist, Album, Year, Comment}, Genre);
    } catch (const FileError& e) {
        throw FileError(e.kind(), FileName, 0, e.textRefused());
    }
    std::optional<OpenFile> opened;
    OpenFile& file = openUnchanged(opened);
    writeTagBlock(file, block);
    // The fields follow what the file now holds.
    takeBlock(block);
    seen_ = FileSeen::of(file);
}

void TID3V1::RemoveTag() {
    if (!HasTag) return;
    std::optional<OpenFile> opened;
    OpenFile& file = openUnchanged(opened);
    file.truncate(file.size() - 128);
    HasTag = false;
    loaded_ = readTagBlock(file);
    seen_ = FileSeen::of(file);
}

void TID3V1::setText(std::string& field, std::string_view text, std::size_t width) {
    if (field == text) return;
    field = fitToField(text, width, loaded_);
    Modified = true;
}

void TID3V1::SetTitle(std::string_view text) { setText(Title, text, tagfield::Title.width); }
void TID3V1::SetArtist(std::string_view text) { setText(Artist, text, tagfield::Artist.width); }
void TID3V1::SetAlbum(std::string_view text) { setText(Album, text, tagfield::Album.width); }
void TID3V1::SetYear(std::string_view text) { setText(Year, text, tagfield::Year.width); }
void TID3V1::SetComment(std::string_view text) { setText(Comment, text, tagfield::Comment.width); }

// 255 is no genre; another number without a name is "Other".
void TID3V1::SetGenre(std::uint8_t genre) {
    if (genre == Genre) return;
    Genre = genre < Genres.size() || genre == kNoGenre ? genre : kOtherGenre;
    Modified = true;
}

}  // namespace quilvane
