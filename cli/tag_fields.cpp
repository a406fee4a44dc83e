#include "cli/tag_fields.h"

#include <optional>
#include <stdexcept>

#include "cli/arguments.h"
#include "cli/output.h"
#include "platform/display_name.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "platform/replacement_group.h"
#include "tageditor/batch_tags.h"
#include "tags/tag_reader.h"
#include "tags/genres.h"

namespace quilvane::cli {

const std::vector<TagField> kV1Fields{{"title", 0}, {"artist", 1}, {"album", 2}, {"year", 3}, {"comment", 4}};

const std::vector<TagField> kV2Fields{
    {"title", TID3V2::Title},       {"artist", TID3V2::Artist},          {"album", TID3V2::Album},
    {"year", TID3V2::Year},         {"comment", TID3V2::Comment},        {"genre", TID3V2::Genre},
    {"track", TID3V2::Track},       {"composer", TID3V2::Composer},      {"origartist", TID3V2::OriginalArtist},
    {"copyright", TID3V2::Copyright}, {"url", TID3V2::Url},              {"encodedby", TID3V2::EncodedBy}};

std::string v1Text(const TID3V1& v1, const TagField& field) {
    switch (field.slot) {
    case 0: return v1.Title;
    case 1: return v1.Artist;
    case 2: return v1.Album;
    case 3: return v1.Year;
    default: return v1.Comment;
    }
}

namespace {

void setV1(TID3V1& v1, const FieldValue& f) {
    switch (f.slot) {
    case 0: v1.SetTitle(f.value); break;
    case 1: v1.SetArtist(f.value); break;
    case 2: v1.SetAlbum(f.value); break;
    case 3: v1.SetYear(f.value); break;
    case 4: v1.SetComment(f.value); break;
    default: v1.SetGenre(*genreOfText(f.value)); break;
    }
}

std::string change(const char* tag, const std::string& key, const std::string& before, const std::string& after) {
    return std::string(tag) + " " + key + ": \"" + before + "\" -> \"" + after + "\"";
}

}  // namespace

std::vector<FieldValue> parseFieldValues(const std::vector<std::string>& words, const std::vector<TagField>& fields,
                                         bool v1) {
    std::vector<FieldValue> values;
    for (const std::string& word : words) {
        const auto equals = word.find('=');
        if (equals == std::string::npos)
            throw UsageError(say("应写成 名称=值：", "expected name=value: ") + word);
        FieldValue value{word.substr(0, equals), -1, word.substr(equals + 1)};
        for (const TagField& f : fields)
            if (f.key == value.key) value.slot = f.slot;
        const bool genre = value.key == "genre";
        if (value.slot < 0 && !(v1 && genre))
            throw UsageError(say("不认识的标签项 ", "unknown tag field ") + value.key);
        if (v1 && genre && !genreOfText(value.value))
            throw UsageError(say("不认识的流派：", "unknown genre: ") + value.value);
        if (!isValidUtf8(value.value)) throw UsageError(say("值不是 UTF-8 文字：", "the value is not UTF-8 text: ") + value.key);
        values.push_back(std::move(value));
    }
    return values;
}

FieldChanges setFields(const std::string& path, const std::vector<FieldValue>& v1Values,
                       const std::vector<FieldValue>& v2Values, bool dryRun, ReplacementGroup* group) {
    if (!isMp3File(fileNameOf(path))) throw std::runtime_error(say("不是 MP3 文件：", "not an MP3 file: ") + displayName(path));
    // One opening for both tags: read once, written through the same descriptor.
    std::optional<OpenFile> opened = openAfterPendingRewrites(group, [&] {
        return std::optional<OpenFile>(dryRun ? OpenFile::forReading(path) : OpenFile::forReadWrite(path));
    });
    OpenFile& file = *opened;
    TID3V1 v1;
    TID3V2 v2;
    readBothTags(file, v1, v2);
    v1.writeThrough(&file);
    v2.writeThrough(&file);
    v2.deferReplacementsTo(group);
    FieldChanges changes;
    for (const FieldValue& f : v2Values) {
        const std::string before = v2.Frames[f.slot];
        const auto number = f.slot == TID3V2::Genre ? genreOfText(f.value) : std::nullopt;
        if (number) v2.SetGenre(*number);
        else v2.Frames[f.slot] = f.value;
        if (v2.Frames[f.slot] != before) changes.lines.push_back(change("ID3v2", f.key, before, v2.Frames[f.slot]));
    }
    const bool v2Changes = !changes.lines.empty();
    if (!v2.fitsManagedLimit())
        throw std::runtime_error(say("ID3v2 标签超过 2000 字节，未写入：", "the ID3v2 tag would pass 2000 bytes, not written: ") +
                                 displayName(path));
    const TID3V1 before = v1;
    for (const FieldValue& f : v1Values) setV1(v1, f);
    for (const TagField& f : kV1Fields)
        if (v1Text(v1, f) != v1Text(before, f)) changes.lines.push_back(change("ID3v1", f.key, v1Text(before, f), v1Text(v1, f)));
    if (v1.Genre != before.Genre)
        changes.lines.push_back(change("ID3v1", "genre", std::to_string(before.Genre), std::to_string(v1.Genre)));
    if (v1.Modified && !v1.HasTag) changes.lines.push_back(say("ID3v1：新加标签", "ID3v1: new tag"));
    if (dryRun) return changes;
    // The ID3v1 block first, in place: a rewrite of the file for the ID3v2 tag then
    // carries it along.
    if (v1.Modified) {
        v1.SaveTag();
        v2.followOtherTagWrite();
    }
    if (v2Changes) v2.SaveTag();
    return changes;
}

}  // namespace quilvane::cli
