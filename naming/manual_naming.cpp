#include "naming/manual_naming.h"

#include "rename/name_rules.h"
#include "rename/simple_rename.h"
#include "rename/text_pieces.h"
#include "platform/display_name.h"
#include "platform/file_list_entries.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace quilvane {

namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

}  // namespace

ManualNamingResult renameFromLines(const ManualNaming& naming, UndoList& log, std::int32_t& renamedCount,
                                   const std::function<bool(const std::string&)>& ask, SysCalls& sys,
                                   const std::atomic<bool>* stop) {
    ManualNamingResult result;
    RenameBatch batch;
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
            result.refused.push_back(i);
            continue;
        }
        batch.add(joinPath(naming.folder, entry), joinPath(naming.folder, line));  // the line as it stands
    }
    const auto held = [&](const std::string& from, const std::string& to) {
        // A name of the same length is taken for the same name in other letter case (a
        // mount that ignores case): no question; the rename sorts it out, and refuses a
        // real other file.
        if (!isFile(to) || to.size() == from.size()) return HeldName::TryRename;
        // A folder is not deleted this way: the question is all that happens.
        if (!ask(collisionQuestion(from, to)) || naming.folderMode) {
            result.held.push_back({from, to});
            return HeldName::Skip;
        }
        deleteFileForcibly(from);
        return HeldName::SourceDeleted;
    };
    result.batch = batch.run(log, held, {}, sys, stop);
    renamedCount += result.batch.renamed;
    return result;
}

std::string refusedLinesText(const std::vector<std::size_t>& refused, const std::vector<std::string>& lines) {
    std::string text = "以下各行含有无法识别的字符（" + std::string(kReplacementCharacter) + "），请改正后再命名，这些文件未改名：";
    for (std::size_t i = 0; i < refused.size() && i < 20; ++i)
        text += "\n第" + std::to_string(refused[i] + 1) + "行：" + lines[refused[i]];
    if (refused.size() > 20) text += "\n……";
    return text;
}

}  // namespace quilvane
