#pragma once
// The labelled set of real tag texts in tests/data/legacy_tags.tsv: one tag per id, each
// field with the code page it was written in and its bytes in that code page.
#include <map>
#include <string>
#include <vector>

#include "platform/legacy_text.h"

namespace quilvane::test {

struct LabelledField {
    std::string kind;  // title, artist, album
    LegacyCharset charset;
    std::string text;   // UTF-8
    std::string bytes;  // in `charset`
};

std::map<int, std::vector<LabelledField>> labelledTags();

bool hasHighBytes(std::string_view s);

}  // namespace quilvane::test
