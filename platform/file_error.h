#pragma once
// A file operation that failed: which, on what path, and the system's reason. what()
// is a sentence for the user, in the program's language.
#include <stdexcept>
#include <string>

namespace quilvane {

class FileError : public std::runtime_error {
public:
    enum class Kind { Open, Read, Write, Create, TagBeyondEnd, UnsupportedTag, NotRegularFile, ChangedSinceLoad,
                      UnreadableCharacter, NotLoaded, NotInLegacyCodePage,
                      LegacyCodePagesClash };
    // `text`: the text a refusal of a text (NotInLegacyCodePage, LegacyCodePagesClash,
    // UnreadableCharacter) is about.
    FileError(Kind kind, std::string path, int error, const std::string& text = {});

    Kind kind() const { return kind_; }
    const std::string& path() const { return path_; }
    int error() const { return error_; }
    const std::string& textRefused() const { return text_; }

private:
    Kind kind_;
    std::string path_;
    int error_;
    std::string text_;
};

}  // namespace quilvane
