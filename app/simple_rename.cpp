#include "app/simple_rename.h"

#include <unistd.h>

#include "app/text_pieces.h"
#include "platform/attributes.h"
#include "platform/paths.h"

namespace quilvane {

std::optional<std::string> simpleNamingTarget(const std::string& folder, const std::string& path,
                                              const SimpleNaming& naming) {
    const std::string name = fileNameOf(path);
    if (naming.style == NameStyle::ArtistInFront) {
        // A file already named this way is not prefixed twice.
        if (containsCharacter(name, naming.separator)) return std::nullopt;
        const std::string artist = naming.artist ? *naming.artist : fileNameOf(folder);
        return joinPath(folder, artist + " " + naming.separator + " " + name);
    }
    if (naming.style == NameStyle::AfterSeparator) {
        if (!containsCharacter(name, naming.separator)) return std::nullopt;
        return joinPath(folder, textAfterLast(name, naming.separator));
    }
    return std::nullopt;
}

std::string collisionQuestion(const std::string& path, const std::string& target) {
    return path + "重命名后与该文件夹中\n" + target + "同名，是否删除前者？";
}

void deleteFileForcibly(const std::string& path) {
    if (::unlink(path.c_str()) == 0) return;
    setReadOnly(path, false);
    ::unlink(path.c_str());
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
