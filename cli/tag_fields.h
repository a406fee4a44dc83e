#pragma once
// The tag fields as the command line names them ("title", "artist"...), and setting them
// from "name=value" words on one file.
#include <string>
#include <vector>

#include "tags/id3v1.h"
#include "tags/id3v2.h"

namespace quilvane::cli {

struct TagField {
    std::string key;
    int slot;  // ID3v1: the text's number (title 0 ... comment 4); ID3v2: the TID3V2 slot
};

extern const std::vector<TagField> kV1Fields;  // title artist album year comment
extern const std::vector<TagField> kV2Fields;  // the twelve frames the program edits

std::string v1Text(const TID3V1& v1, const TagField& field);

struct FieldValue {
    std::string key;  // a key of the tag's fields, or "genre"
    int slot = -1;
    std::string value;
};

// "name=value" words; a usage error names a word that is not one, or an unknown name.
std::vector<FieldValue> parseFieldValues(const std::vector<std::string>& words, const std::vector<TagField>& fields,
                                         bool v1);

struct FieldChanges {
    std::vector<std::string> lines;  // "ID3v2 title: "old" -> "new"", one per changed field
};

// Sets the values on the file (both tags read once, through one opening), or in a dry
// run only says what would change. An ID3v2 tag over its limit leaves the file
// unchanged. A rewrite of the file is left to `group` when one is given. Throws
// std::exception with a sentence naming the file.
FieldChanges setFields(const std::string& path, const std::vector<FieldValue>& v1Values,
                       const std::vector<FieldValue>& v2Values, bool dryRun, ReplacementGroup* group = nullptr);

}  // namespace quilvane::cli
