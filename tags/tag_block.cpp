#include "tags/tag_block.h"

#include <algorithm>
#include <cstring>

#include "platform/codepage.h"
#include "platform/file_io.h"

namespace quilvane {

bool TagBlock::isTag() const { return std::memcmp(bytes.data(), "TAG", 3) == 0; }

std::string_view TagBlock::fieldBytes(TagField f) const {
    const char* start = bytes.data() + f.offset;
    return std::string_view(start, static_cast<std::size_t>(std::find(start, start + f.width, '\0') - start));
}

std::string TagBlock::field(TagField f) const { return std::string(fieldBytes(f)); }

LegacyReading TagBlock::reading() const {
    std::vector<std::string_view> fields;
    fields.reserve(kTextFields.size());
    for (TagField f : kTextFields) fields.push_back(fieldBytes(f));
    return detectLegacy(fields);
}

std::string TagBlock::text(TagField f) const { return decodeInTag(fieldBytes(f), reading()); }

TagBlock editedBlock(const TagBlock& before, const std::array<std::string, 5>& texts, std::uint8_t genre) {
    const bool wasTag = before.isTag();
    TagBlock block;
    if (wasTag) block = before;
    else std::memcpy(block.bytes.data(), "TAG", 3);
    const LegacyReading reading = wasTag ? before.reading() : LegacyReading{};
    const LegacyCharset charset = reading.charset == LegacyCharset::Gbk ? LegacyCharset::Gbk : LegacyCharset::Latin1;
    // An ID3v1.1 track number: the comment's byte 28 zero, byte 29 the number.
    const bool track = wasTag && before.bytes[tagfield::Comment.offset + 28] == '\0' &&
                       before.bytes[tagfield::Comment.offset + 29] != '\0';
    for (std::size_t i = 0; i < kTextFields.size(); ++i) {
        const TagField f = kTextFields[i];
        if (wasTag && before.text(f) == texts[i]) continue;
        const std::string bytes = utf8ToLegacyWidth(texts[i], f.width, charset);
        const bool keepTrack = track && f.offset == tagfield::Comment.offset && bytes.size() <= 28;
        const std::size_t cleared = keepTrack ? 28 : f.width;
        std::fill_n(block.bytes.data() + f.offset, cleared, '\0');
        std::copy_n(bytes.data(), std::min(bytes.size(), f.width), block.bytes.data() + f.offset);
    }
    block.setGenre(genre);
    return block;
}

void TagBlock::setField(TagField f, std::string_view legacy) {
    const std::size_t n = std::min(legacy.size(), f.width);
    std::copy_n(legacy.data(), n, bytes.data() + f.offset);
    if (n < f.width) bytes[f.offset + n] = '\0';
}

TagBlock buildTagBlock(std::string_view title, std::string_view artist, std::string_view album,
                       std::string_view year, std::string_view comment, std::uint8_t genre) {
    TagBlock block;
    std::memcpy(block.bytes.data(), "TAG", 3);
    const auto put = [&block](TagField f, std::string_view text) {
        text = text.substr(0, std::min(text.find('\0'), text.size()));
        std::copy_n(text.data(), std::min(text.size(), f.width), block.bytes.data() + f.offset);
    };
    put(tagfield::Title, title);
    put(tagfield::Artist, artist);
    put(tagfield::Album, album);
    put(tagfield::Year, year);
    put(tagfield::Comment, comment);
    block.setGenre(genre);
    return block;
}

TagBlock readTagBlock(const std::string& path) { return readTagBlock(OpenFile::forReading(path)); }

TagBlock readTagBlock(const OpenFile& file) {
    TagBlock block;
    const std::int64_t size = file.size();
    if (size >= 128) file.readAt(size - 128, block.bytes.data(), 128);
    return block;
}

void writeTagBlock(const std::string& path, const TagBlock& block) {
    OpenFile file = OpenFile::forReadWrite(path);
    const std::int64_t size = file.size();
    const std::string_view bytes(block.bytes.data(), block.bytes.size());
    if (size >= 128 && file.readStringAt(size - 128, 3) == "TAG") {
        file.writeAt(size - 128, bytes);
        return;
    }
    try {
        file.writeAt(size, bytes);
    } catch (const FileError&) {
        // Never leave half a tag behind the audio.
        try {
            file.truncate(size);
        } catch (const FileError&) {
        }
        throw;
    }
}

}  // namespace quilvane
