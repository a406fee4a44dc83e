#pragma once
// The simple naming rule applied to one file: put the artist and the separator in front
// of its name, or keep only what follows the separator.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "rename/rename_batch.h"
#include "rename/undo_list.h"

namespace quilvane {

enum class NameStyle : std::uint8_t {
    ArtistInFront = 0,   // "歌手-歌名"
    AfterSeparator = 1,  // "歌名"
    None = 2,            // no format chosen yet
};

struct SimpleNaming {
    NameStyle style = NameStyle::None;
    std::string separator = "-";        // one character
    std::optional<std::string> artist;  // typed artist name; else the folder's own name
};

// The new full path of the file `path` in `folder`, or nothing when the rule leaves it
// as it is. Only the file's own name is looked at, never the folders of its path.
std::optional<std::string> simpleNamingTarget(const std::string& folder, const std::string& path,
                                              const SimpleNaming& naming);

// "P重命名后与该文件夹中\nT同名，是否删除前者？"
std::string collisionQuestion(const std::string& path, const std::string& target);

// Deletes a file; when that fails, clears its read-only attribute and tries once more.
void deleteFileForcibly(const std::string& path);

// Simple naming's answer when a file's new name is held by another file: the collision
// question, and on Yes the file being renamed is deleted (the other keeps the name). A
// name held by anything but a file is tried, and the rename refuses it.
HeldNameHandler simpleNamingHeldName(std::function<bool(const std::string& question)> ask);

enum class RenameOutcome { LeftAsIs, Renamed, Failed, DeletedOnCollision, KeptOnCollision };

struct RenameSession {
    UndoList& log;
    std::int32_t& renamedCount;
    // Asked when the new name is taken by another file; true deletes the file being renamed.
    std::function<bool(const std::string& question)> ask;
};

// Applies the rule to one file of `folder`. A rename that happens is logged and counted;
// an existing target is never replaced.
RenameOutcome renameBySimpleRule(const std::string& folder, const std::string& path,
                                 const SimpleNaming& naming, RenameSession& session);

}  // namespace quilvane
