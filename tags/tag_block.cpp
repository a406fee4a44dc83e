#include "tags/tag_block.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

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
    return detectTagLegacy(fields);
}

std::string TagBlock::text(TagField f) const { return decodeInTag(fieldBytes(f), reading()); }

namespace {

// The encodings a changed text may be written in, the tag's own first: a text that fits
// the tag's own code page is written in it ("Amélie" in a GBK tag stays GBK), else in
// the other (Latin-1 for Western letters, GBK for Chinese).
std::array<LegacyCharset, 2> writingOrder(const TagBlock& before) {
    const bool gbk = before.isTag() && before.reading().charset == LegacyCharset::Gbk;
    if (gbk) return {LegacyCharset::Gbk, LegacyCharset::Latin1};
    return {LegacyCharset::Latin1, LegacyCharset::Gbk};
}

// GB18030's four-byte sequences: GBK readers (every other tag reader of old Chinese
// files) show them as junk.
bool hasFourByteCharacter(std::string_view gb) {
    for (std::size_t i = 0; i + 1 < gb.size();) {
        const auto lead = static_cast<unsigned char>(gb[i]);
        if (lead < 0x81 || lead == 0xFF) {
            ++i;
            continue;
        }
        const auto second = static_cast<unsigned char>(gb[i + 1]);
        if (second >= 0x30 && second <= 0x39) return true;
        i += 2;
    }
    return false;
}

// The text's bytes in that code page, cut to the width by whole characters; nothing
// when one of its characters has no place there.
std::optional<std::string> encodedToWidth(std::string_view text, std::size_t width, LegacyCharset charset) {
    const std::optional<std::string> bytes = encodeLegacy(text, charset);
    if (!bytes || (charset == LegacyCharset::Gbk && hasFourByteCharacter(*bytes))) return std::nullopt;
    if (charset == LegacyCharset::Latin1) return bytes->substr(0, std::min(width, bytes->size()));
    return std::string(cutLegacyToWidth(*bytes, width));
}

bool holdsReplacementCharacter(std::string_view text) { return text.find("\xEF\xBF\xBD") != std::string_view::npos; }

struct FieldChoice {
    std::size_t field;                  // index in kTextFields
    std::vector<std::string> bytes;     // the candidates, the preferred first
    std::vector<LegacyCharset> charset; // the code page of each
};

}  // namespace

std::string fitToField(std::string_view text, std::size_t width, const TagBlock& before) {
    for (LegacyCharset charset : writingOrder(before))
        if (const auto bytes = encodedToWidth(text, width, charset)) return decodeLegacy(*bytes, charset);
    return std::string(text);  // refused when written
}

TagBlock editedBlock(const TagBlock& before, const std::array<std::string, 5>& texts, std::uint8_t genre) {
    const bool wasTag = before.isTag();
    TagBlock block;
    if (wasTag) block = before;
    else std::memcpy(block.bytes.data(), "TAG", 3);
    // An ID3v1.1 track number: the comment's byte 28 zero, byte 29 the number.
    const bool track = wasTag && before.bytes[tagfield::Comment.offset + 28] == '\0' &&
                       before.bytes[tagfield::Comment.offset + 29] != '\0';
    std::array<std::string, 5> readBefore;
    const LegacyReading beforeReading = wasTag ? before.reading() : LegacyReading{};
    std::vector<FieldChoice> changed;
    for (std::size_t i = 0; i < kTextFields.size(); ++i) {
        const TagField f = kTextFields[i];
        if (wasTag) readBefore[i] = decodeInTag(before.fieldBytes(f), beforeReading);
        if (wasTag && readBefore[i] == texts[i]) continue;
        if (holdsReplacementCharacter(texts[i])) throw FileError(FileError::Kind::UnreadableCharacter, "", 0, texts[i]);
        FieldChoice choice{i, {}, {}};
        for (LegacyCharset charset : writingOrder(before)) {
            auto bytes = encodedToWidth(texts[i], f.width, charset);
            if (!bytes || std::find(choice.bytes.begin(), choice.bytes.end(), *bytes) != choice.bytes.end()) continue;
            choice.bytes.push_back(std::move(*bytes));
            choice.charset.push_back(charset);
        }
        if (choice.bytes.empty()) throw FileError(FileError::Kind::NotInLegacyCodePage, "", 0, texts[i]);
        changed.push_back(std::move(choice));
    }
    const auto place = [&block, track](TagField f, const std::string& bytes) {
        const bool keepTrack = track && f.offset == tagfield::Comment.offset && bytes.size() <= 28;
        std::fill_n(block.bytes.data() + f.offset, keepTrack ? 28 : f.width, '\0');
        std::copy_n(bytes.data(), std::min(bytes.size(), f.width), block.bytes.data() + f.offset);
    };
    block.setGenre(genre);
    // The tag's texts are read together, so a changed field may change how the others
    // read ("Björk" beside a new Chinese title). The first choice of encodings under
    // which every written field reads as written and every other as before is taken.
    std::size_t combinations = 1;
    for (const FieldChoice& c : changed) combinations *= c.bytes.size();
    for (std::size_t k = 0; k < combinations; ++k) {
        std::size_t rest = k;
        std::array<std::string, 5> expected = readBefore;
        for (const FieldChoice& c : changed) {
            const std::size_t pick = rest % c.bytes.size();
            rest /= c.bytes.size();
            place(kTextFields[c.field], c.bytes[pick]);
            expected[c.field] = decodeLegacy(c.bytes[pick], c.charset[pick]);
        }
        const LegacyReading reading = block.reading();
        bool readsRight = true;
        for (std::size_t i = 0; i < kTextFields.size() && readsRight; ++i)
            readsRight = decodeInTag(block.fieldBytes(kTextFields[i]), reading) == expected[i];
        if (readsRight) return block;
    }
    // No way to write it that reads back right: refused rather than written as junk.
    throw FileError(FileError::Kind::LegacyCodePagesClash, "", 0, texts[changed.front().field]);
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
    writeTagBlock(file, block);
}

void writeTagBlock(OpenFile& file, const TagBlock& block) {
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
