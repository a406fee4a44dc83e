#include "naming/manual_naming.h"

#include "app/name_rules.h"
#include "app/simple_rename.h"
#include "app/text_pieces.h"
#include "platform/file_list_entries.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace quilvane {

void renameFromLines(const ManualNaming& naming, UndoList& log, std::int32_t& renamedCount,
                     const std::function<bool(const std::string&)>& ask) {
    for (std::size_t i = 0; i < naming.entries.size() && i < naming.lines.size(); ++i) {
        const std::string& line = naming.lines[i];
        // A line that would lead out of the folder or hide the file names nothing.
        if (trimLeadingBlanks(line).empty() || !isApplicablePathBelow(line)) continue;
        std::string entry = naming.entries[i];
        if (naming.folderMode) {
            if (isDotEntry(entry)) continue;
            entry = withoutBrackets(entry);
            if (sameText(entry, line)) continue;
        }
        const std::string from = joinPath(naming.folder, entry);
        const std::string to = joinPath(naming.folder, line);  // the line as it stands
        if (to == from) continue;
        // Another name of the same file (a link to it, or the same name in other letters
        // on a mount that ignores case) is no collision: deleting "the other" would
        // delete the only copy. The rename below sorts it out or fails harmlessly.
        if (isFile(to) && !sameEntry(from, to)) {
            if (to.size() != from.size()) {
                // A folder is not deleted this way: the question is all that happens.
                if (ask(collisionQuestion(from, to)) && !naming.folderMode) deleteFileForcibly(from);
                continue;
            }
            // Same length, other bytes: a change of letter case on a mount that ignores
            // case. The rename below refuses a real other file.
        }
        renameAndLog(from, to, log, renamedCount);
    }
}

}  // namespace quilvane
