#include "files/file_sorting.h"

#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "rename/text_pieces.h"
#include "files/file_utils.h"
#include "platform/attributes.h"
#include "platform/folder_listing.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace quilvane {
namespace {

bool entryExistsAt(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace

std::string artistOf(const std::string& name, const std::string& separator) {
    if (!containsCharacter(name, separator)) return {};
    const std::string artist(trimBlanks(textBeforeLast(name, separator)));
    return artist == "." || artist == ".." ? std::string() : artist;
}

FileSorter::FileSorter(SortSettings settings, const std::atomic<bool>& stop,
                       std::function<void(const SortCounts&)> progress)
    : settings_(std::move(settings)), stop_(stop), progress_(std::move(progress)) {}

SortCounts FileSorter::run() {
    counts_ = {};
    plannedTargets_.clear();
    int left = 0;
    try {
        left = sortFolder(settings_.searchPath);
    } catch (const TransferError&) {
        if (log_) log_->settle();
        throw;
    }
    if (log_) log_->settle();
    if (left == 0 && !settings_.keepOriginal && !settings_.dryRun) ::rmdir(settings_.searchPath.c_str());
    return counts_;
}

int FileSorter::sortFolder(const std::string& folder) {
    std::vector<FolderEntry> entries;
    // A folder that cannot be read is left as it is, and named in the result.
    if (const int rc = listFolder(folder, entries); rc != 0) {
        counts_.unreadable.push_back({folder, rc});
        return 1;
    }
    int left = 0;
    for (const FolderEntry& e : entries) {
        if (e.kind == EntryKind::File) {
            if (sortFile(folder, e.name)) ++left;
        } else if (e.isDescendable() && settings_.withSubfolders) {
            const std::string sub = joinPath(folder, e.name);
            const int n = sortFolder(sub);
            left += n;
            if (n == 0 && !settings_.keepOriginal && !settings_.dryRun) ::rmdir(sub.c_str());
        } else if (e.kind != EntryKind::Folder) {
            ++left;  // links and special files stay where they are
        }
        if (progress_) progress_(counts_);
        if (stop_) break;
    }
    return left;
}

bool FileSorter::sortFile(const std::string& folder, const std::string& name) {
    const std::string path = joinPath(folder, name);
    const auto skip = [this] {
        ++counts_.skipped;
        return true;
    };
    if (settings_.restrictExt) {
        const auto dot = name.rfind('.');
        const std::string ext = dot == std::string::npos ? std::string() : asciiUpper(trimBlanks(name.substr(dot)));
        if (ext != settings_.extFilter) return skip();
    }
    const bool byArtist = settings_.byArtist;
    std::string into = settings_.collectPath;
    if (byArtist) {
        const std::string artist = artistOf(name, settings_.separator);
        if (artist.empty()) return skip();
        into = joinPath(settings_.destPath, artist);
    }
    if (!isFolder(into)) {
        if (settings_.onlyExisting) return skip();
        if (!settings_.dryRun) createFolders(into);
    }
    // A file already where it belongs stays and counts as skipped; so does a file whose
    // name is taken there by another one, which is never overwritten.
    const std::string to = joinPath(into, name);
    if (entryExistsAt(to)) return skip();
    const bool copy = byArtist && settings_.keepOriginal;
    if (settings_.dryRun) {
        if (!plannedTargets_.insert(to).second) return skip();
    } else {
        // Only a file that is moved loses its read-only bit (a move may have to copy it);
        // one passed over keeps its permissions. A file that appears at the target
        // meanwhile is never replaced.
        const bool readOnly = !copy && FileHasAttr(path, attr::ReadOnly);
        if (readOnly) setReadOnly(path, false);
        bool done = false;
        try {
            done = copy ? CopySingleFile(path, to, AtDestination::Keep)
                        : moveAndLog(path, to, log_, [&] { return MoveSingleFile(path, to, AtDestination::Keep); });
        } catch (const TransferError&) {
            if (readOnly && pathExists(path)) setReadOnly(path, true);
            throw;
        }
        if (!done) {
            if (readOnly) setReadOnly(path, true);
            return skip();
        }
    }
    ++counts_.sorted;
    if (sorted_) sorted_(path, to);
    return false;
}

}  // namespace quilvane
