#include "naming/manual_naming.h"

#include "app/name_rules.h"
#include "app/simple_rename.h"
#include "app/text_pieces.h"
#include "platform/display_name.h"
#include "platform/file_list_entries.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace quilvane {

namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

}  // namespace

std::vector<std::size_t> renameFromLines(const ManualNaming& naming, UndoList& log, std::int32_t& renamedCount,
                                         const std::function<bool(const std::string&)>& ask) {
    std::vector<std::size_t> refused;
    for (std::size_t i = 0; i < naming.entries.size() && i < naming.lines.size(); ++i) {
        const std::string& line = naming.lines[i];
        // A line that would lead out of the folder or hide the file names nothing.
        if (trimLeadingBlanks(line).empty() || !isApplicablePathBelow(line)) continue;
        std::string entry = naming.entries[i];
        if (naming.folderMode) {
            if (isDotEntry(entry)) continue;
            entry = withoutBrackets(entry);
        }
        // The line as the entry is shown: the entry keeps its own bytes.
        if (sameText(displayName(entry), line)) continue;
        if (line.find(kReplacementCharacter) != std::string::npos) {
            refused.push_back(i);
            continue;
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
    return refused;
}

std::string refusedLinesText(const std::vector<std::size_t>& refused, const std::vector<std::string>& lines) {
    std::string text = "以下各行含有无法识别的字符（" + std::string(kReplacementCharacter) + "），请改正后再命名，这些文件未改名：";
    for (std::size_t i = 0; i < refused.size() && i < 20; ++i)
        text += "\n第" + std::to_string(refused[i] + 1) + "行：" + lines[refused[i]];
    if (refused.size() > 20) text += "\n……";
    return text;
}

}  // namespace quilvane
