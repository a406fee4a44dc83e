#include "support/labelled_tags.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace quilvane::test {

std::map<int, std::vector<LabelledField>> labelledTags() {
    std::map<int, std::vector<LabelledField>> tags;
    std::ifstream in(std::string(QUILVANE_TEST_DATA) + "/legacy_tags.tsv");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream row(line);
        std::string id, kind, label, text;
        std::getline(row, id, '\t');
        std::getline(row, kind, '\t');
        std::getline(row, label, '\t');
        std::getline(row, text);
        const LegacyCharset charset = label == "gbk" ? LegacyCharset::Gbk : LegacyCharset::Latin1;
        const auto bytes = encodeLegacy(text, charset);
        if (!bytes) ADD_FAILURE() << "cannot encode " << text;
        tags[std::stoi(id)].push_back({kind, charset, text, bytes.value_or("")});
    }
    return tags;
}

bool hasHighBytes(std::string_view s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    return false;
}

}  // namespace quilvane::test
