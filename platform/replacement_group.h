#pragma once
// Rewritten files put in place a group at a time. Each new file is written beside its
// original (a TemporaryFile), and a whole group is flushed to the disk at once (one
// syncfs per file system where that flushes every file of it, else one fdatasync per
// file) on a background thread while the next group is being written; only then is each
// renamed over its original (by a second thread, while the next group is flushed). A
// crash at any moment leaves every file old or new: no rename happens before its new
// bytes are on the disk.
//
// A rewrite is put in place only if its original is still the file it was made from
// (same file, size and modification time); another program's edit in between is kept
// and the rewrite dropped.
#include <condition_variable>
#include <ctime>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/file_io.h"
#include "platform/syscalls.h"
#include "platform/temporary_file.h"

namespace quilvane {

// The original a rewrite was made from, as it was when it was copied.
struct RewriteSource {
    FileIdentity identity;
    std::int64_t size = 0;
    timespec modified{};
};

class ReplacementGroup {
public:
    enum class Outcome { Placed, ChangedSince, Failed };
    // Told of each file once it is in place or not (on the thread that calls add and
    // placeAll); `error` is the errno value of a failure.
    using Report = std::function<void(const std::string& path, Outcome outcome, int error)>;

    explicit ReplacementGroup(Report report = {});
    // Places what is still pending (without reporting it).
    ~ReplacementGroup();
    ReplacementGroup(const ReplacementGroup&) = delete;
    ReplacementGroup& operator=(const ReplacementGroup&) = delete;

    // Takes a finished, not yet flushed rewrite of `target` (the name it will replace);
    // it is reported as `name` (the caller's name for the file, maybe a link to it).
    // `original`: a descriptor of the original (or -1), which the group closes once the
    // rewrite is in place, so that the original's blocks are freed on another thread
    // than the renames.
    void add(std::unique_ptr<TemporaryFile> file, std::string target, std::string name, const RewriteSource& source,
             int original = -1);
    // How many rewrites were ever added.
    std::size_t added() const { return added_; }
    // Whether a rewrite of this file waits to be put in place.
    bool holds(const FileIdentity& file) const;
    // Flushes and places everything pending, and reports every file not yet reported.
    void placeAll();
    // Reports the files the background thread has dealt with so far.
    void reportPlaced();

    // A group is handed to the background thread at this many files (fewer where the
    // process may not open enough files) or bytes.
    static constexpr std::size_t kFilesPerGroup = 512;
    static constexpr std::int64_t kBytesPerGroup = 32 << 20;

private:
    struct Pending {
        std::unique_ptr<TemporaryFile> file;
        std::string path;
        std::string name;
        RewriteSource source;
        int original = -1;
        int flushError = 0;
    };
    struct Result {
        std::string path;
        Outcome outcome;
        int error;
    };
    void handOver();
    void flushInTheBackground();
    void placeInTheBackground();
    void flush(std::vector<Pending>& group);
    void place(std::vector<Pending>& group);
    void closeLater(std::vector<int> descriptors);
    void closeInTheBackground();

    Report report_;
    std::size_t filesPerGroup_;
    std::vector<Pending> filling_;
    std::int64_t fillingBytes_ = 0;
    std::size_t added_ = 0;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<Pending>> queued_;   // to be flushed
    std::deque<std::vector<Pending>> flushed_;  // to be put in place
    bool flushing_ = false;
    bool placing_ = false;
    bool ending_ = false;
    std::vector<Result> results_;
    std::multiset<std::pair<dev_t, ino_t>> held_;
    std::thread flusher_;
    std::thread placer_;
    // Descriptors of replaced originals, closed by their own thread.
    std::mutex closingMutex_;
    std::condition_variable closingChanged_;
    std::vector<int> toClose_;
    bool closingEnds_ = false;
    std::thread closer_;
};

// The failure a rewrite that was not put in place reports (ChangedSinceLoad or Write).
FileError replacementFailure(const std::string& path, ReplacementGroup::Outcome outcome, int error);

// Opens a file for a batch with `open` (which gives nothing where it has nothing to
// open); when a rewrite of the same file, under another name, waits in `group`, the group
// is put in place first and the file opened again, so that the next rewrite is made
// from the first.
template <typename Open>
std::optional<OpenFile> openAfterPendingRewrites(ReplacementGroup* group, Open open) {
    std::optional<OpenFile> file = open();
    if (!file || group == nullptr || !group->holds(file->identity())) return file;
    file.reset();
    group->placeAll();
    return open();
}

}  // namespace quilvane
