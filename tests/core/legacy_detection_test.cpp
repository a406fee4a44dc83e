// The legacy-text detector against a labelled set of real tag texts (GBK from Chinese
// Windows, Windows-1252 from elsewhere), beside ICU's and uchardet's detection of the
// same bytes. Prints the accuracy table, and fails when the program's detector gets a
// tag wrong or falls below the field accuracy it has reached.
#include <fstream>
#include <gtest/gtest.h>
#include <iomanip>
#include <map>
#include <sstream>
#include <uchardet/uchardet.h>
#include <unicode/ucsdet.h>

#include "platform/legacy_text.h"
#include "support/labelled_tags.h"

namespace quilvane {
namespace {

using Field = test::LabelledField;
using test::hasHighBytes;
using test::labelledTags;

LegacyCharset fromName(std::string name) {
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (name == "GB18030" || name == "GBK" || name == "GB2312") return LegacyCharset::Gbk;
    if (name == "WINDOWS-1252" || name == "ISO-8859-1" || name == "ISO-8859-15") return LegacyCharset::Latin1;
    if (name == "UTF-8") return LegacyCharset::Utf8;
    if (name == "BIG5") return LegacyCharset::Big5;
    if (name == "SHIFT_JIS") return LegacyCharset::ShiftJis;
    return LegacyCharset::Ascii;  // anything else is wrong here
}

std::string joined(const std::vector<std::string_view>& texts) {
    std::string all;
    for (std::string_view t : texts) all += std::string(t) + " ";
    return all;
}

LegacyCharset icuDetect(const std::vector<std::string_view>& texts) {
    const std::string bytes = joined(texts);
    UErrorCode status = U_ZERO_ERROR;
    UCharsetDetector* detector = ucsdet_open(&status);
    ucsdet_setText(detector, bytes.data(), static_cast<int32_t>(bytes.size()), &status);
    int32_t count = 0;
    const UCharsetMatch** matches = ucsdet_detectAll(detector, &count, &status);
    LegacyCharset found = LegacyCharset::Ascii;
    // The best match among the two readings in question (ICU's first answer is often
    // another code page altogether).
    for (int32_t i = 0; U_SUCCESS(status) && i < count; ++i) {
        const LegacyCharset c = fromName(ucsdet_getName(matches[i], &status));
        if (c == LegacyCharset::Gbk || c == LegacyCharset::Latin1) {
            found = c;
            break;
        }
    }
    ucsdet_close(detector);
    return found;
}

LegacyCharset uchardetDetect(const std::vector<std::string_view>& texts) {
    const std::string bytes = joined(texts);
    uchardet_t detector = uchardet_new();
    uchardet_handle_data(detector, bytes.data(), bytes.size());
    uchardet_data_end(detector);
    const LegacyCharset found = fromName(uchardet_get_charset(detector));
    uchardet_delete(detector);
    return found;
}

struct Tally {
    int tagsRight = 0, tags = 0, fieldsRight = 0, fields = 0;
    std::vector<std::string> wrongTags;
    std::vector<std::string> wrongFields;  // the bytes
    double tagRate() const { return 100.0 * tagsRight / tags; }
    double fieldRate() const { return 100.0 * fieldsRight / fields; }
};

using Detector = std::function<LegacyCharset(const std::vector<std::string_view>&)>;

Tally measure(const std::map<int, std::vector<Field>>& tags, const Detector& detect) {
    Tally tally;
    for (const auto& [id, fields] : tags) {
        std::vector<std::string_view> texts;
        for (const Field& f : fields)
            if (hasHighBytes(f.bytes)) texts.push_back(f.bytes);
        if (texts.empty()) continue;
        ++tally.tags;
        if (detect(texts) == fields.front().charset) ++tally.tagsRight;
        else tally.wrongTags.push_back(fields.front().text + " / " + fields[1].text);
        for (std::string_view t : texts) {
            ++tally.fields;
            if (detect({t}) == fields.front().charset) ++tally.fieldsRight;
            else tally.wrongFields.push_back(std::string(t));
        }
    }
    return tally;
}

TEST(LegacyDetection, AccuracyOnRealTagTexts) {
    const auto tags = labelledTags();
    ASSERT_GE(tags.size(), 120u);
    const std::vector<std::pair<std::string, Detector>> detectors{
        {"program (byte rules)", [](const auto& t) { return detectLegacy(t).charset; }},
        {"ICU ucsdet", icuDetect},
        {"uchardet", uchardetDetect},
    };
    std::ostringstream table;
    table << std::left << std::setw(24) << "detector" << std::setw(18) << "tags right" << "fields right\n";
    std::map<std::string, Tally> results;
    for (const auto& [name, detect] : detectors) {
        const Tally t = measure(tags, detect);
        results[name] = t;
        std::ostringstream tagsCell, fieldsCell;
        tagsCell << t.tagsRight << "/" << t.tags << " (" << std::fixed << std::setprecision(1) << t.tagRate() << "%)";
        fieldsCell << t.fieldsRight << "/" << t.fields << " (" << std::fixed << std::setprecision(1) << t.fieldRate() << "%)";
        table << std::setw(24) << name << std::setw(18) << tagsCell.str() << fieldsCell.str() << "\n";
        for (const std::string& wrong : t.wrongTags) table << "    wrong: " << wrong << "\n";
        if (name.starts_with("program"))
            for (const std::string& wrong : t.wrongFields) table << "    field read wrong: " << decodeLegacy(wrong, LegacyCharset::Latin1) << "\n";
    }
    std::cout << table.str();
    const Tally& ours = results["program (byte rules)"];
    EXPECT_EQ(ours.tagsRight, ours.tags) << "every tag of the set is read right";
    EXPECT_GE(ours.fieldRate(), 99.0) << "field by field, without the rest of its tag";

    // What the program shows of each field is its text.
    for (const auto& [id, fields] : tags) {
        std::vector<std::string_view> texts;
        for (const Field& f : fields) texts.push_back(f.bytes);
        const LegacyReading reading = detectLegacy(texts);
        for (const Field& f : fields) EXPECT_EQ(decodeInTag(f.bytes, reading), f.text) << id;
    }
}

}  // namespace
}  // namespace quilvane
