#include "tags/id3v2.h"

#include <algorithm>
#include <optional>
#include <charconv>

#include "platform/file_io.h"
#include "platform/replacement_group.h"
#include "platform/text.h"
#include "tags/genres.h"

namespace quilvane {
namespace {

using id3v2::RawFrame;

constexpr std::array<std::string_view, 12> kFrameIds22{"TRK", "TEN", "WXX", "TCR", "TOA", "TCM",
                                                       "TCO", "COM", "TYE", "TAL", "TP1", "TT2"};
// Header, the twelve frames and the padding they always get may not pass this size.
constexpr std::int64_t kManagedLimit = 2000;
constexpr std::int64_t kPadding = 80;

std::string_view slotId(int slot, int major) {
    if (major == 2) return kFrameIds22[static_cast<std::size_t>(slot)];
    if (major == 4 && slot == TID3V2::Year) return "TDRC";
    return TID3V2::FrameIds[static_cast<std::size_t>(slot)];
}

int slotOf(std::string_view id, int major) {
    for (int slot = 0; slot < 12; ++slot)
        if (id == slotId(slot, major)) return slot;
    // Writers put either year frame in either version.
    if (major >= 3 && (id == "TYER" || id == "TDRC")) return TID3V2::Year;
    return -1;
}

bool validId(std::string_view id) {
    for (char c : id)
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
    return true;
}

// An extended header is skipped only when its bytes make sense; a flag without one
// must not swallow the first frame.
std::string_view skipExtendedHeader(std::string_view area, int major) {
    const auto* p = reinterpret_cast<const unsigned char*>(area.data());
    if (major == 3 && area.size() >= 4) {
        const std::uint32_t size = id3v2::readBigEndian(p, 4);
        if ((size == 6 || size == 10) && 4 + size <= area.size()) return area.substr(4 + size);
    }
    if (major == 4 && area.size() >= 6 && !validId(area.substr(0, 4))) {
        const std::uint32_t size = id3v2::readSynchsafe(p);
        if (size >= 6 && size <= area.size() && p[4] == 1) return area.substr(size);
    }
    return area;
}

std::int64_t renderedSize(const std::vector<RawFrame>& frames, int major) {
    std::int64_t total = 0;
    for (const RawFrame& f : frames) total += id3v2::headerLength(major) + static_cast<std::int64_t>(f.body.size());
    return total;
}

std::optional<int> wholeNumber(std::string_view text) {
    text = trimBlanks(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '+' || text.front() == '-')) return std::nullopt;  // one sign at most
    }
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace

void TID3V2::forgetFrames() {
    Header.fill(0);
    for (std::string& f : Frames) f.clear();
    HasTag = false;
    TagSize = 0;
    major_ = 3;
    frames_.clear();
    chosen_.fill(-1);
    for (std::string& f : loaded_) f.clear();
    replaceAll_ = false;
    rest_.clear();
    comment_ = {};
    url_ = {};
    reading_ = {};
}

void TID3V2::Clear() {
    const bool hadTag = HasTag;
    const std::int64_t size = TagSize;
    const auto header = Header;
    const int major = major_;
    forgetFrames();
    // The file's tag stays where it is until the next save replaces it.
    HasTag = hadTag;
    TagSize = size;
    Header = header;
    major_ = major;
    replaceAll_ = true;
}

void TID3V2::forgetFile(const std::string& fileName) {
    forgetFrames();
    file_.reset();
    FileName = fileName;
}

void TID3V2::LoadTag(const std::string& fileName) {
    forgetFile(fileName);
    ReadTag();
}

// `start`: the file's first bytes as far as they were read already (at least ten, or
// the whole of a shorter file).
TID3V2::FileState TID3V2::inspect(const OpenFile& file, std::string_view start, const TagBlock* tail, bool needTail) {
    FileState state;
    state.seen = FileSeen::of(file);
    state.head = std::string(start.substr(0, 10));
    if (tail) state.tail = *tail;
    else if (needTail) state.tail = readTagBlock(file);
    const std::string& head = state.head;
    if (head.size() < 10 || head.compare(0, 3, "ID3") != 0) return state;
    const auto* header = reinterpret_cast<const unsigned char*>(head.data());
    const int major = header[3];
    const unsigned char flags = header[5];
    const std::uint32_t size = id3v2::readSynchsafe(header + 6);
    // A 2.4 footer flag counts only when the footer is really there; a flag alone would
    // make the tag swallow ten bytes of audio.
    const auto bytesAt = [&](std::int64_t at, std::size_t count) {
        return at + static_cast<std::int64_t>(count) <= static_cast<std::int64_t>(start.size())
                   ? std::string(start.substr(static_cast<std::size_t>(at), count))
                   : file.readStringAt(at, count);
    };
    const bool footer = major == 4 && (flags & 0x10) && bytesAt(10 + std::int64_t{size}, 3) == "3DI";
    state.tagSize = 10 + static_cast<std::int64_t>(size) + (footer ? 10 : 0);
    state.beyondEnd = state.tagSize > state.seen.size;
    // An unknown version, or a compressed 2.2 tag.
    state.unreadable = major < 2 || major > 4 || (major == 2 && (flags & 0x40));
    return state;
}

void TID3V2::ReadTag() {
    const std::string name = FileName;
    forgetFile(name);
    const OpenFile file = OpenFile::forReading(name);
    ReadFrom(file, file.readStringAt(0, kFirstRead));
}

void TID3V2::ReadFrom(const OpenFile& file, std::string_view start, const TagBlock* tail) {
    forgetFrames();
    file_.reset();
    // Writes through a shared opening do not check the ID3v1 block: it is not read.
    FileState state = inspect(file, start, tail, held_ == nullptr);
    if (state.tagSize == 0) {
        file_ = state;
        return;
    }
    std::copy_n(state.head.begin(), Header.size(), Header.begin());
    HasTag = true;
    TagSize = state.tagSize;
    if (state.unreadable) {
        file_ = state;
        return;
    }
    // Most tags lie within the first read; only a larger one is read again whole.
    const std::uint32_t size = id3v2::readSynchsafe(Header.data() + 6);
    std::string area = 10 + std::size_t{size} <= start.size() ? std::string(start.substr(10, size)) : file.readStringAt(10, size);
    state.tagDigest = digestOf(state.head) ^ digestOf(area);
    file_ = state;
    readFrames(std::move(area));
}

// The digest a write compares: the header (found equal to the one read already) and the
// frame area as the header counts it.
std::uint64_t TID3V2::tagDigestIn(const OpenFile& file) const {
    const std::uint32_t size = id3v2::readSynchsafe(reinterpret_cast<const unsigned char*>(file_->head.data()) + 6);
    return digestOf(file_->head) ^ digestOf(file.readStringAt(10, size));
}

// What this object just wrote is what the file now holds: it is taken from memory
// instead of being read back.
void TID3V2::adoptWritten(const std::string& tag, const FileSeen& written, const TagBlock& tail) {
    FileState state = *file_;
    forgetFrames();
    state.seen = written;
    state.head = tag.substr(0, 10);
    state.tail = tail;
    state.tagSize = static_cast<std::int64_t>(tag.size());
    state.tagDigest = digestOf(state.head) ^ digestOf(std::string_view(tag).substr(10));
    file_ = state;
    std::copy_n(tag.begin(), Header.size(), Header.begin());
    HasTag = true;
    TagSize = state.tagSize;
    readFrames(tag.substr(10));
}

void TID3V2::readFrames(std::string area) {
    major_ = Header[3];
    const unsigned char flags = Header[5];
    const bool unsynchronised = flags & 0x80;
    if (unsynchronised && major_ != 4) area = id3v2::removeUnsynchronisation(area);
    std::string_view frames = area;
    if ((flags & 0x40) && major_ >= 3) frames = skipExtendedHeader(frames, major_);

    id3v2::FrameArea parsed = id3v2::parseFrameArea(frames, major_);
    rest_ = std::move(parsed.rest);
    frames_ = std::move(parsed.frames);
    std::vector<std::optional<std::string>> contents;
    for (id3v2::RawFrame& frame : frames_) {
        const bool managed = slotOf(frame.id, major_) >= 0;
        contents.push_back(managed ? id3v2::frameContent(frame, major_, unsynchronised && major_ == 4) : std::nullopt);
        // Written back without the tag's unsynchronisation flag, a 2.4 frame carries its own.
        if (unsynchronised && major_ == 4) frame.flags[1] |= 0x02;
    }
    // The tag's legacy texts are judged together: one field alone holds too few bytes.
    std::vector<std::string_view> legacy;
    for (const auto& content : contents)
        if (content && !id3v2::legacyPart(*content).empty()) legacy.push_back(id3v2::legacyPart(*content));
    reading_ = detectTagLegacy(legacy);
    chooseSlots(contents);
}

// Each slot shows the first frame of its kind; the comment slot the first comment
// without a description (a described one, such as iTunes' normalisation data, belongs
// to a program, not to the user).
void TID3V2::chooseSlots(const std::vector<std::optional<std::string>>& contents) {
    for (std::size_t i = 0; i < frames_.size(); ++i) {
        const int slot = slotOf(frames_[i].id, major_);
        if (slot < 0 || !contents[i] || chosen_[static_cast<std::size_t>(slot)] >= 0) continue;
        const std::string& content = *contents[i];
        if (slot == Comment) {
            const auto parts = id3v2::parseComment(content, reading_);
            if (!parts || !parts->description.empty()) continue;
            comment_ = *parts;
            Frames[Comment] = comment_.text;
        } else if (slot == Url) {
            url_ = id3v2::parseUserUrl(content, reading_).value_or(id3v2::UrlParts{});
            Frames[Url] = url_.url;
        } else {
            Frames[static_cast<std::size_t>(slot)] = id3v2::parseTextFrame(content, reading_).value_or("");
        }
        chosen_[static_cast<std::size_t>(slot)] = static_cast<int>(i);
    }
    loaded_ = Frames;
}

std::vector<id3v2::RawFrame> TID3V2::keptFrames() const {
    std::vector<id3v2::RawFrame> kept;
    for (std::size_t i = 0; i < frames_.size(); ++i)
        if (std::find(chosen_.begin(), chosen_.end(), static_cast<int>(i)) == chosen_.end()) kept.push_back(frames_[i]);
    return kept;
}

// A slot's frame as written: its text in the slot's kind of frame. A frame that stood
// there before keeps its status flags (what to do with it when the tag or file is
// altered); its format flags belonged to its old bytes.
id3v2::RawFrame TID3V2::renderSlot(int slot, const id3v2::RawFrame* before) const {
    const std::string& text = Frames[static_cast<std::size_t>(slot)];
    // A character that could not be read is never written into a tag for good.
    if (text.find("\xEF\xBF\xBD") != std::string::npos)
        throw FileError(FileError::Kind::UnreadableCharacter, FileName, 0);
    id3v2::RawFrame frame;
    frame.id = before ? before->id : std::string(slotId(slot, major_));
    if (slot == Comment) {
        id3v2::CommentParts comment = comment_;
        if (comment.language.empty()) comment.language = "eng";
        comment.description.clear();
        comment.text = text;
        frame.body = id3v2::renderComment(comment);
    } else if (slot == Url) {
        id3v2::UrlParts url = url_;
        url.url = text;
        frame.body = id3v2::renderUserUrl(url);
    } else {
        frame.body = id3v2::renderTextFrame(text);
    }
    if (before) frame.flags[0] = before->flags[0];
    // The encoder's name is to be dropped by programs that alter the audio.
    else if (slot == EncodedBy) frame.flags[0] = major_ == 4 ? 0x20 : (major_ == 3 ? 0x40 : 0);
    return frame;
}

// The frames of the tag as it will be written: the old ones in their order, those of
// changed slots written anew (later text frames of a changed kind dropped), then frames
// for slots that had none. A file without a tag, or a cleared object, gets the twelve.
std::vector<id3v2::RawFrame> TID3V2::framesToWrite(bool& anyChange) const {
    std::vector<id3v2::RawFrame> out;
    if (!HasTag || replaceAll_) {
        anyChange = true;
        for (int slot = 0; slot < 12; ++slot) out.push_back(renderSlot(slot, nullptr));
        return out;
    }
    std::array<bool, 12> changed{};
    for (std::size_t slot = 0; slot < 12; ++slot) changed[slot] = Frames[slot] != loaded_[slot];
    anyChange = std::find(changed.begin(), changed.end(), true) != changed.end();
    for (std::size_t i = 0; i < frames_.size(); ++i) {
        const int slot = slotOf(frames_[i].id, major_);
        const bool isChosen = slot >= 0 && chosen_[static_cast<std::size_t>(slot)] == static_cast<int>(i);
        if (isChosen && changed[static_cast<std::size_t>(slot)]) {
            out.push_back(renderSlot(slot, &frames_[i]));
        } else if (!isChosen && slot >= 0 && slot != Comment && slot != Url && changed[static_cast<std::size_t>(slot)]) {
            continue;  // one text frame per kind: readers that take the other would show the old text
        } else {
            out.push_back(frames_[i]);
        }
    }
    for (int slot = 0; slot < 12; ++slot)
        if (changed[static_cast<std::size_t>(slot)] && chosen_[static_cast<std::size_t>(slot)] < 0)
            out.push_back(renderSlot(slot, nullptr));
    return out;
}

OpenFile& TID3V2::openUnchanged(std::optional<OpenFile>& opened) const {
    if (!file_) throw FileError(FileError::Kind::NotLoaded, FileName, 0);
    // The batch's opening was read a moment ago, through this very descriptor.
    if (held_ != nullptr && !file_->seen.sameFile(*held_))
        throw FileError(FileError::Kind::ChangedSinceLoad, FileName, 0);
    if (held_ == nullptr) {
        const OpenFile& file = opened.emplace(OpenFile::forReadWrite(FileName));
        if (!file_->seen.sameFile(file) || file.readStringAt(0, 10) != file_->head ||
            readTagBlock(file).bytes != file_->tail.bytes)
            throw FileError(FileError::Kind::ChangedSinceLoad, FileName, 0);
    }
    if (file_->beyondEnd) throw FileError(FileError::Kind::TagBeyondEnd, FileName, 0);
    if (file_->unreadable) throw FileError(FileError::Kind::UnsupportedTag, FileName, 0);
    OpenFile& file = held_ != nullptr ? *held_ : *opened;
    // Another program's edit of the same size and layout (a title changed in place).
    if (held_ == nullptr && file_->tagSize > 0 && tagDigestIn(file) != file_->tagDigest)
        throw FileError(FileError::Kind::ChangedSinceLoad, FileName, 0);
    return file;
}

void TID3V2::followOtherTagWrite() {
    if (!file_) return;
    std::optional<OpenFile> opened;
    const OpenFile& file = held_ != nullptr ? *held_ : opened.emplace(OpenFile::forReading(FileName));
    if (file.readStringAt(0, 10) != file_->head) throw FileError(FileError::Kind::ChangedSinceLoad, FileName, 0);
    file_->seen = FileSeen::of(file);
    file_->tail = readTagBlock(file);
}

std::string TID3V2::renderTag(const std::vector<RawFrame>& frames, std::int64_t totalSize) const {
    std::string tag = "ID3";
    tag += static_cast<char>(major_);
    tag += std::string(2, '\0');
    id3v2::putSynchsafe(tag, static_cast<std::uint32_t>(totalSize - 10));
    for (const RawFrame& f : frames) tag += id3v2::renderFrame(f, major_);
    tag += rest_;
    tag.resize(static_cast<std::size_t>(totalSize), '\0');
    return tag;
}

namespace {

bool withinManagedLimit(const std::vector<RawFrame>& frames, int major) {
    std::int64_t managed = 10 + kPadding;
    for (const RawFrame& f : frames)
        if (slotOf(f.id, major) >= 0) managed += id3v2::headerLength(major) + static_cast<std::int64_t>(f.body.size());
    return managed <= kManagedLimit;
}

}  // namespace

bool TID3V2::fitsManagedLimit() const {
    bool anyChange = false;
    const std::vector<RawFrame> frames = framesToWrite(anyChange);
    return !anyChange || withinManagedLimit(frames, major_);
}

bool TID3V2::SaveTag() {
    wrote_ = false;
    bool anyChange = false;
    const std::vector<RawFrame> frames = framesToWrite(anyChange);
    if (!anyChange) return true;  // nothing changed: the file stays byte for byte
    if (!withinManagedLimit(frames, major_)) return false;
    writeFrames(frames);
    wrote_ = true;
    return true;
}

void TID3V2::SaveFrames(const std::map<std::size_t, RawFrame>& replaced, const std::vector<RawFrame>& added) {
    std::vector<RawFrame> frames;
    if (HasTag && !replaceAll_) {
        for (std::size_t i = 0; i < frames_.size(); ++i) {
            const auto found = replaced.find(i);
            frames.push_back(found != replaced.end() ? found->second : frames_[i]);
        }
    }
    frames.insert(frames.end(), added.begin(), added.end());
    writeFrames(frames);
}

std::optional<std::string> TID3V2::contentOf(std::size_t index) const {
    // A 2.3 tag's unsynchronisation was undone when it was read; a 2.4 frame says its own.
    return index < frames_.size() ? id3v2::frameContent(frames_[index], major_, false) : std::nullopt;
}

void TID3V2::writeFrames(const std::vector<RawFrame>& frames) {
    std::optional<OpenFile> opened;
    OpenFile& file = openUnchanged(opened);
    const std::int64_t content = 10 + renderedSize(frames, major_) + static_cast<std::int64_t>(rest_.size());
    const std::int64_t oldTag = file_->tagSize;
    if (oldTag > 0 && content + kPadding <= oldTag) {
        // The tag keeps its size: only its own bytes are rewritten, the audio stays put.
        const std::string tag = renderTag(frames, oldTag);
        file.writeAt(0, tag);
        // A file of little more than its tag has the tag's end among its last 128 bytes.
        adoptWritten(tag, FileSeen::of(file), oldTag > file.size() - 128 ? readTagBlock(file) : file_->tail);
    } else {
        const std::string tag = renderTag(frames, content + kPadding);
        // The name will hold another file: the next write checks against that one.
        const FileSeen written = rewriteWithNewHead(file, tag, oldTag, file.size(), group_);
        adoptWritten(tag, written, file_->tail);
    }
}

void TID3V2::RemoveTag(bool alsoId3v1) {
    const bool dropTail = alsoId3v1 && file_ && file_->tail.isTag();
    if (!HasTag && !dropTail) return;
    std::optional<OpenFile> opened;
    const OpenFile& file = openUnchanged(opened);
    rewriteWithNewHead(file, {}, file_->tagSize, file.size() - (dropTail ? 128 : 0), group_);
    if (group_ != nullptr) forgetFile(FileName);  // the old bytes stay under the name a while yet
    else ReadTag();
}

// A genre as taggers write it: "(17)", "(17)Rock", a bare "17" (2.4), a name of the
// table in any letter case ("rock"), or several genres ("Rock; Pop", or strings apart
// by NUL in 2.4) of which the first that is one counts. No text is no genre; another
// text (a genre of the user's own, "流行") is "Other".
int TID3V2::GetGenre() const {
    const std::string_view text = trimBlanks(Frames[Genre]);
    if (text.empty()) return kNoGenre;
    if (const auto named = genreOfName(text)) return *named;
    if (text.front() == '(') {
        const auto close = text.find(')');
        if (close == std::string_view::npos) return kOtherGenre;
        const std::string_view candidate = text.substr(1, close - 1);
        if (isBlank(candidate)) return kOtherGenre;
        return wholeNumber(candidate).value_or(kDefaultGenre);
    }
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find_first_of(std::string_view(";\0", 2), start), text.size());
        const std::string_view part = trimBlanks(text.substr(start, end - start));
        if (const auto named = genreOfName(part)) return *named;
        if (!part.empty() && part.find_first_not_of("0123456789") == std::string_view::npos)
            return wholeNumber(part).value_or(kDefaultGenre);
        start = end + 1;
    }
    return kOtherGenre;
}

// A genre that already reads as the number keeps its text (a name, "(17)", a 2.4
// number); no genre (255) leaves the frame empty.
void TID3V2::SetGenre(std::uint8_t genre) {
    if (genre == kNoGenre) {
        Frames[Genre].clear();
        return;
    }
    if (genre >= Genres.size()) genre = kOtherGenre;
    if (GetGenre() == genre) return;
    Frames[Genre] = "(" + std::to_string(genre) + ")" + std::string(Genres[genre]);
}

}  // namespace quilvane
