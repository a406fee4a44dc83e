#include "naming/id3_naming.h"

#include "rename/name_rules.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "tags/genres.h"

namespace quilvane {

std::string buildId3Name(std::string_view templ, const TagBlock& tag, std::string_view separator) {
    std::string name;
    bool skipNext = false;
    for (std::size_t i = 0; i < templ.size(); i += firstCharacter(templ.substr(i)).size()) {
        const char ch = templ[i];
        if (skipNext) {
            // The character after 'A' belongs to it ("Ar", "Al", or nothing); a whole
            // character, so a Chinese one never leaves half its bytes in the name.
            skipNext = false;
            continue;
        }
        switch (ch) {
        case 'T': name += tag.text(tagfield::Title); break;
        case 'Y': name += tag.text(tagfield::Year); break;
        case 'C': name += tag.text(tagfield::Comment); break;
        case 'G': name += GenreName(tag.genre()); break;
        case '_': name += separator; break;
        case 'A': {
            const char next = i + 1 < templ.size() ? templ[i + 1] : '\0';
            if (next == 'r') name += tag.text(tagfield::Artist);
            if (next == 'l') name += tag.text(tagfield::Album);
            skipNext = true;
            break;
        }
        default: name += firstCharacter(templ.substr(i));
        }
    }
    return name + ".mp3";
}

bool hasMp3Extension(std::string_view name) {
    const auto dot = name.rfind('.');
    return dot != std::string_view::npos && asciiUpper(name.substr(dot, 4)) == ".MP3";
}

bool isId3NamingCandidate(std::string_view name, const TagBlock& tag) {
    return hasMp3Extension(name) && tag.isTag();
}

}  // namespace quilvane

namespace quilvane {

std::optional<std::string> id3NamingTarget(const std::string& folder, const std::string& name, std::string_view templ,
                                           std::string_view separator) {
    if (!hasMp3Extension(name)) return std::nullopt;
    const std::string path = joinPath(folder, name);
    // A pipe or device named like an MP3 file has no tag and is passed over.
    if (!isRegularFile(path)) return std::nullopt;
    const TagBlock tag = readTagBlock(path);
    if (!isId3NamingCandidate(name, tag)) return std::nullopt;
    const std::string newName = buildId3Name(templ, tag, separator);
    if (!isApplicableName(newName)) return std::nullopt;
    return joinPath(folder, newName);
}

}  // namespace quilvane
