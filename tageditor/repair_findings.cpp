#include "tageditor/repair_findings.h"

#include <map>

#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "tags/id3v2.h"
#include "tags/tag_block.h"

namespace quilvane {
namespace {

bool hasHighBytes(std::string_view s) {
    for (const char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    return false;
}

bool isTextFrame(std::string_view id) { return !id.empty() && id[0] == 'T' && id != "TXXX" && id != "TXX"; }

std::string frameLabel(std::string_view id) {
    static const std::map<std::string_view, std::string> labels{
        {"TIT2", "标题"}, {"TT2", "标题"},   {"TPE1", "歌手"},   {"TP1", "歌手"},   {"TALB", "专辑"},
        {"TAL", "专辑"},  {"COMM", "注释"},  {"COM", "注释"},    {"USLT", "歌词"},  {"ULT", "歌词"},
        {"TCON", "流派"}, {"TCO", "流派"},   {"TYER", "年份"},   {"TDRC", "年份"},  {"TPE2", "专辑歌手"},
        {"TP2", "专辑歌手"}, {"TCOM", "作曲"}, {"TOPE", "原唱"}, {"TCOP", "版权"}, {"TENC", "编码者"}};
    const auto found = labels.find(id);
    return found == labels.end() ? std::string() : "（" + found->second + "）";
}

constexpr const char* kFieldLabels[5] = {"标题", "歌手", "专辑", "年份", "注释"};

// The ID3v2 frame that carries an ID3v1 field, in a tag of that version.
std::string frameForField(int field, int major) {
    static constexpr const char* v23[5] = {"TIT2", "TPE1", "TALB", "TYER", "COMM"};
    static constexpr const char* v22[5] = {"TT2", "TP1", "TAL", "TYE", "COM"};
    return major == 2 ? v22[field] : v23[field];
}
constexpr TID3V2::Slot kSlotOfField[5] = {TID3V2::Title, TID3V2::Artist, TID3V2::Album, TID3V2::Year, TID3V2::Comment};

// The strings of a text-bearing frame, as they stand in its encoding.
struct FrameStrings {
    std::uint8_t encoding = 0;
    std::vector<std::string> pieces;
};

std::optional<FrameStrings> stringsOf(std::string_view id, std::string_view content) {
    if (content.empty()) return std::nullopt;
    FrameStrings out;
    out.encoding = static_cast<std::uint8_t>(content[0]);
    if (out.encoding > 3) return std::nullopt;
    std::string_view rest = content.substr(1);
    if (isCommentLikeFrame(id)) {
        if (rest.size() < 3) return std::nullopt;
        rest.remove_prefix(3);  // the language
        const auto end = id3v2::findTerminated(out.encoding, rest);
        if (!end) return std::nullopt;
        out.pieces.emplace_back(rest.substr(0, end->first));
        rest.remove_prefix(end->second);
        // The text runs to the end, or to a terminator some writers put after it.
        const auto textEnd = id3v2::findTerminated(out.encoding, rest);
        out.pieces.emplace_back(rest.substr(0, textEnd ? textEnd->first : rest.size()));
        return out;
    }
    while (!rest.empty()) {
        const auto end = id3v2::findTerminated(out.encoding, rest);
        out.pieces.emplace_back(rest.substr(0, end ? end->first : rest.size()));
        if (!end) break;
        rest.remove_prefix(end->second);
    }
    return out;
}

struct Candidate {
    std::size_t index;
    std::string id;
    std::vector<std::string> pieces;  // legacy bytes
    std::string stored;               // the text as it reads today (mojibake)
    std::string content;
};

std::string joined(const std::vector<std::string>& texts) {
    std::string out;
    for (const std::string& t : texts) {
        if (t.empty()) continue;
        if (!out.empty()) out += " / ";
        out += t;
    }
    return out;
}

// Invalid bytes shown as U+FFFD, as file managers show a name that is not UTF-8.
std::string lossyUtf8(std::string_view bytes) {
    std::string out;
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::size_t length = 1;
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0xF0) length = 4;
        else if (c >= 0xE0) length = 3;
        else if (c >= 0xC0) length = 2;
        if (c < 0x80 || (i + length <= bytes.size() && isValidUtf8(bytes.substr(i, length)))) {
            out.append(bytes.substr(i, c < 0x80 ? 1 : length));
            i += c < 0x80 ? 1 : length;
        } else {
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
    return out;
}

void addJudged(std::vector<Candidate>& candidates, RepairKind kind, const std::string& path,
               std::vector<RepairFinding>& out) {
    if (candidates.empty()) return;
    std::vector<std::string_view> all;
    for (const Candidate& c : candidates)
        for (const std::string& p : c.pieces) all.push_back(p);
    // Judged together, as a tag's legacy texts are: one field alone holds too few bytes.
    const LegacyReading reading = detectLegacy(all);
    if (reading.charset != LegacyCharset::Gbk && reading.charset != LegacyCharset::Big5 &&
        reading.charset != LegacyCharset::ShiftJis)
        return;  // Latin-1 (or ASCII) is right as it is
    for (Candidate& c : candidates) {
        RepairFinding f;
        f.path = path;
        f.kind = kind;
        f.frameId = c.id;
        f.frameIndex = c.index;
        f.pieces = std::move(c.pieces);
        f.detected = reading;
        f.reading = reading.charset;
        f.stored = std::move(c.stored);
        f.content = std::move(c.content);
        out.push_back(std::move(f));
    }
}

}  // namespace

bool isCommentLikeFrame(std::string_view id) { return id == "COMM" || id == "USLT" || id == "COM" || id == "ULT"; }

std::optional<std::string> latin1BytesOf(std::string_view utf8) {
    if (!isValidUtf8(utf8)) return std::nullopt;
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const std::string_view ch = firstCharacter(utf8.substr(i));
        i += ch.size();
        if (ch.size() == 1) {
            out += ch;
            continue;
        }
        const auto c0 = static_cast<unsigned char>(ch[0]);
        if (ch.size() == 2 && (c0 == 0xC2 || c0 == 0xC3)) {
            out += static_cast<char>(((c0 & 0x1F) << 6) | (static_cast<unsigned char>(ch[1]) & 0x3F));
            continue;
        }
        // Windows-1252's own characters in 0x80-0x9F (€, ‘, ’, …).
        const auto byte = encodeLegacy(ch, LegacyCharset::Latin1);
        if (!byte || byte->size() != 1) return std::nullopt;
        out += *byte;
    }
    return out;
}

std::vector<std::string> RepairFinding::piecesAs(LegacyCharset charset) const {
    std::vector<std::string> out;
    for (const std::string& p : pieces) out.push_back(decodeLegacy(p, charset));
    return out;
}

std::string RepairFinding::readAs() const { return joined(piecesAs(reading)); }

std::string RepairFinding::shownToday() const {
    switch (kind) {
    case RepairKind::StoredMojibake: return stored;
    case RepairKind::LegacyName: return lossyUtf8(pieces.empty() ? std::string() : pieces[0]);
    default: return joined(piecesAs(LegacyCharset::Latin1));
    }
}

std::string RepairFinding::where() const {
    switch (kind) {
    case RepairKind::LegacyName: return folder ? "文件夹名" : "文件名";
    case RepairKind::Id3v1Only: return "ID3v1 " + std::string(kFieldLabels[field]) + " → ID3v2 " + frameId;
    default: return "ID3v2 " + frameId + frameLabel(frameId);
    }
}

std::vector<RepairFinding> nameFindingOf(const std::string& path, bool folder) {
    const std::string name = fileNameOf(path);
    if (isValidUtf8(name)) return {};
    RepairFinding f;
    f.path = path;
    f.kind = RepairKind::LegacyName;
    f.folder = folder;
    f.pieces = {name};
    f.detected = detectLegacy(name);
    f.reading = f.detected.charset == LegacyCharset::Utf8 || f.detected.charset == LegacyCharset::Ascii
                    ? LegacyCharset::Latin1
                    : f.detected.charset;
    return {f};
}

std::vector<RepairFinding> findingsOf(const std::string& path, OpenFile::Known known) {
    const OpenFile file = OpenFile::forReading(path, known);
    TID3V2 v2;
    v2.FileName = path;
    const TagBlock block = readTagBlock(file);
    v2.ReadFrom(file, file.readStringAt(0, TID3V2::kFirstRead), &block);

    std::vector<Candidate> legacy, mojibake;
    for (std::size_t i = 0; i < v2.frames().size(); ++i) {
        const std::string& id = v2.frames()[i].id;
        if (!isTextFrame(id) && !isCommentLikeFrame(id)) continue;
        const auto content = v2.contentOf(i);
        if (!content) continue;
        const auto strings = stringsOf(id, *content);
        if (!strings) continue;
        std::string all;
        for (const std::string& p : strings->pieces) all += p;
        if (strings->encoding == 0 || (strings->encoding == 3 && !isValidUtf8(all))) {
            if (hasHighBytes(all)) legacy.push_back({i, id, strings->pieces, {}, *content});
            continue;
        }
        // Unicode text whose every character is one byte of a legacy text read as Latin-1.
        Candidate c{i, id, {}, {}, *content};
        bool fits = true;
        for (const std::string& p : strings->pieces) {
            const std::string text = id3v2::decodeText(strings->encoding, p);
            const auto bytes = latin1BytesOf(text);
            if (!bytes) fits = false;
            else c.pieces.push_back(*bytes);
            if (!c.stored.empty() && !text.empty()) c.stored += " / ";
            c.stored += text;
        }
        std::string bytes;
        for (const std::string& p : c.pieces) bytes += p;
        if (fits && hasHighBytes(bytes) && bytes.size() >= 2) mojibake.push_back(std::move(c));
    }
    std::vector<RepairFinding> out;
    addJudged(legacy, RepairKind::LegacyFrame, path, out);
    addJudged(mojibake, RepairKind::StoredMojibake, path, out);

    // ID3v1 texts in a legacy code page that no ID3v2 frame carries.
    if (block.isTag()) {
        const LegacyReading reading = block.reading();
        if (reading.charset == LegacyCharset::Gbk || reading.charset == LegacyCharset::Big5 ||
            reading.charset == LegacyCharset::ShiftJis) {
            const int major = v2.HasTag ? v2.version() : 3;
            for (int field = 0; field < 5; ++field) {
                const std::string bytes = block.field(kTextFields[static_cast<std::size_t>(field)]);
                if (!hasHighBytes(bytes) || !v2.Frames[kSlotOfField[field]].empty()) continue;
                RepairFinding f;
                f.path = path;
                f.kind = RepairKind::Id3v1Only;
                f.frameId = frameForField(field, major);
                f.field = field;
                f.pieces = {bytes};
                f.detected = reading;
                f.reading = reading.charset;
                out.push_back(std::move(f));
            }
        }
    }
    for (RepairFinding& f : nameFindingOf(path, false)) out.push_back(std::move(f));
    return out;
}

}  // namespace quilvane
