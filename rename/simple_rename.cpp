#include "rename/simple_rename.h"

#include <unistd.h>

#include "rename/name_rules.h"
#include "rename/text_pieces.h"
#include "platform/attributes.h"
#include "platform/display_name.h"
#include "platform/paths.h"

namespace quilvane {

namespace {

// A new name is written in UTF-8, also where the old one was in a legacy code page.
std::optional<std::string> newNameOf(const std::string& folder, const std::string& oldName, const SimpleNaming& naming) {
    const std::string name = displayName(oldName);
    if (naming.style == NameStyle::ArtistInFront) {
        // A file already named this way is not prefixed twice.
        if (containsCharacter(name, naming.separator)) return std::nullopt;
        const std::string artist = naming.artist ? *naming.artist : displayName(fileNameOf(folder));
        return artist + " " + naming.separator + " " + name;
    }
    if (naming.style == NameStyle::AfterSeparator && containsCharacter(name, naming.separator))
        return textAfterLast(name, naming.separator);
    return std::nullopt;
}

}  // namespace

std::optional<std::string> simpleNamingTarget(const std::string& folder, const std::string& path,
                                              const SimpleNaming& naming) {
    const auto name = newNameOf(folder, fileNameOf(path), naming);
    // "AC/DC" typed as the artist, or "abc-.mp3" cut after its separator, would move or
    // hide the file.
    if (!name || !isApplicableName(*name)) return std::nullopt;
    return joinPath(folder, *name);
}

std::string collisionQuestion(const std::string& path, const std::string& target) {
    return displayName(path) + "重命名后与该文件夹中\n" + displayName(target) + "同名，是否删除前者？";
}

void deleteFileForcibly(const std::string& path) {
    if (::unlink(path.c_str()) == 0) return;
    setReadOnly(path, false);
    ::unlink(path.c_str());
}

HeldNameHandler simpleNamingHeldName(std::function<bool(const std::string&)> ask) {
    return [ask = std::move(ask)](const std::string& from, const std::string& to) {
        if (!isFile(to)) return HeldName::TryRename;
        if (!ask(collisionQuestion(from, to))) return HeldName::Skip;
        deleteFileForcibly(from);
        return HeldName::SourceDeleted;
    };
}

RenameOutcome renameBySimpleRule(const std::string& folder, const std::string& path,
                                 const SimpleNaming& naming, RenameSession& session) {
    const auto target = simpleNamingTarget(folder, path, naming);
    if (!target) return RenameOutcome::LeftAsIs;
    // On a case-insensitive mount the target can be the file itself: that is a rename,
    // never a reason to delete it.
    if (isFile(*target) && !sameEntry(path, *target)) {
        if (!session.ask(collisionQuestion(path, *target))) return RenameOutcome::KeptOnCollision;
        deleteFileForcibly(path);
        return RenameOutcome::DeletedOnCollision;
    }
    return renameAndLog(path, *target, session.log, session.renamedCount) ? RenameOutcome::Renamed
                                                                          : RenameOutcome::Failed;
}

}  // namespace quilvane
