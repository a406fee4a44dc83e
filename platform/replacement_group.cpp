#include "platform/replacement_group.h"

#include <cerrno>
#include <map>
#include <algorithm>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace quilvane {
namespace {

// File systems whose syncfs writes back every dirty file of the mount, unnamed ones
// included; elsewhere (FUSE, network mounts, FAT) each file is flushed on its own.
bool syncfsFlushesAll(int fd) {
    struct statfs fs {};
    if (::fstatfs(fd, &fs) != 0) return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0xEF53:      // ext2/3/4
    case 0x58465342:  // XFS
    case 0x9123683E:  // Btrfs
    case 0xF2F52010:  // F2FS
    case 0x01021994:  // tmpfs
        return true;
    default: return false;
    }
}

// A group holds two descriptors per file (the new file and its original) for two groups
// at a time, and originals waiting to be closed: more than the 1024 a desktop session
// often allows by default, within what it may raise itself to. Where it may not, the
// groups are smaller.
std::size_t filesPerGroupAllowed() {
    static const std::size_t allowed = [] {
        // Five groups (filling, waiting, flushing, flushed, being placed), two descriptors
        // a file, and originals waiting to be closed.
        constexpr rlim_t wanted = 12 * ReplacementGroup::kFilesPerGroup + 1024;
        rlimit limit{};
        if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return std::size_t{16};
        if (limit.rlim_cur < wanted) {
            limit.rlim_cur = std::min<rlim_t>(wanted, limit.rlim_max);
            ::setrlimit(RLIMIT_NOFILE, &limit);
            ::getrlimit(RLIMIT_NOFILE, &limit);
        }
        const rlim_t spare = limit.rlim_cur > 512 ? (limit.rlim_cur - 512) / 12 : 0;
        return std::clamp<std::size_t>(static_cast<std::size_t>(spare), 16, ReplacementGroup::kFilesPerGroup);
    }();
    return allowed;
}

bool sameTime(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

}  // namespace

ReplacementGroup::ReplacementGroup(Report report) : report_(std::move(report)), filesPerGroup_(filesPerGroupAllowed()) {}

ReplacementGroup::~ReplacementGroup() {
    report_ = {};
    placeAll();
    if (flusher_.joinable()) {
        {
            std::lock_guard lock(mutex_);
            ending_ = true;
        }
        changed_.notify_all();
        flusher_.join();
        placer_.join();
    }
    if (closer_.joinable()) {
        {
            std::lock_guard lock(closingMutex_);
            closingEnds_ = true;
        }
        closingChanged_.notify_all();
        closer_.join();
    }
}

// Closing the last descriptor of a replaced original frees its blocks, which takes
// longer than the rename itself: it is done beside the renames.
void ReplacementGroup::closeLater(std::vector<int> descriptors) {
    {
        std::lock_guard lock(closingMutex_);
        // Far behind: this thread closes them itself rather than hold more open.
        if (toClose_.size() > 2 * filesPerGroup_) {
            for (int fd : descriptors) ::close(fd);
            return;
        }
        toClose_.insert(toClose_.end(), descriptors.begin(), descriptors.end());
        if (!closer_.joinable()) closer_ = std::thread([this] { closeInTheBackground(); });
    }
    closingChanged_.notify_all();
}

void ReplacementGroup::closeInTheBackground() {
    std::unique_lock lock(closingMutex_);
    for (;;) {
        closingChanged_.wait(lock, [this] { return closingEnds_ || !toClose_.empty(); });
        if (toClose_.empty()) return;
        std::vector<int> batch;
        batch.swap(toClose_);
        lock.unlock();
        for (int fd : batch) ::close(fd);
        lock.lock();
    }
}

void ReplacementGroup::add(std::unique_ptr<TemporaryFile> file, std::string target, std::string name,
                           const RewriteSource& source, int original) {
    // Earlier files first: a file is never reported within its own add.
    reportPlaced();
    {
        std::lock_guard lock(mutex_);
        held_.insert({source.identity.device, source.identity.inode});
    }
    fillingBytes_ += source.size;
    ++added_;
    filling_.push_back({std::move(file), std::move(target), std::move(name), source, original});
    if (filling_.size() >= filesPerGroup_ || fillingBytes_ >= kBytesPerGroup) handOver();
}

bool ReplacementGroup::holds(const FileIdentity& file) const {
    std::lock_guard lock(mutex_);
    return held_.count({file.device, file.inode}) > 0;
}

// The full group goes to the background: one thread flushes it while another puts the
// group before it in place and the caller writes the next. At most one group waits at
// each step, so open files stay bounded.
void ReplacementGroup::handOver() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queued_.empty(); });
    queued_.push_back(std::move(filling_));
    filling_.clear();
    fillingBytes_ = 0;
    if (!flusher_.joinable()) {
        flusher_ = std::thread([this] { flushInTheBackground(); });
        placer_ = std::thread([this] { placeInTheBackground(); });
    }
    lock.unlock();
    changed_.notify_all();
}

void ReplacementGroup::flushInTheBackground() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return ending_ || !queued_.empty(); });
        if (queued_.empty()) return;
        std::vector<Pending> group = std::move(queued_.front());
        queued_.pop_front();
        flushing_ = true;
        changed_.notify_all();
        lock.unlock();
        flush(group);
        lock.lock();
        changed_.wait(lock, [this] { return flushed_.empty(); });
        flushed_.push_back(std::move(group));
        flushing_ = false;
        changed_.notify_all();
    }
}

void ReplacementGroup::placeInTheBackground() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return (ending_ && !flushing_ && queued_.empty()) || !flushed_.empty(); });
        if (flushed_.empty()) return;
        std::vector<Pending> group = std::move(flushed_.front());
        flushed_.pop_front();
        placing_ = true;
        changed_.notify_all();
        lock.unlock();
        place(group);
        lock.lock();
        placing_ = false;
        changed_.notify_all();
    }
}

// One syncfs per file system where it writes back every file of it, else a flush of
// each file; a failure is kept with each file it concerns.
void ReplacementGroup::flush(std::vector<Pending>& group) {
    std::map<dev_t, std::vector<Pending*>> byDevice;
    for (Pending& p : group) byDevice[p.source.identity.device].push_back(&p);
    for (auto& [device, files] : byDevice) {
        if (files.size() > 1 && syncfsFlushesAll(files.front()->file->fd())) {
            const int rc = ::syncfs(files.front()->file->fd()) == 0 ? 0 : errno;
            for (Pending* p : files) p->flushError = rc;
        } else {
            for (Pending* p : files) p->flushError = ::fdatasync(p->file->fd()) == 0 ? 0 : errno;
        }
    }
}

void ReplacementGroup::place(std::vector<Pending>& group) {
    std::vector<Result> results;
    for (Pending& p : group) {
        if (p.flushError != 0) {
            results.push_back({p.name, Outcome::Failed, p.flushError});
            continue;
        }
        struct stat now {};
        const RewriteSource& was = p.source;
        if (::stat(p.path.c_str(), &now) != 0 || now.st_dev != was.identity.device || now.st_ino != was.identity.inode ||
            now.st_size != was.size || !sameTime(now.st_mtim, was.modified)) {
            results.push_back({p.name, Outcome::ChangedSince, 0});
            continue;
        }
        const int rc = p.file->replaceTarget();
        results.push_back({p.name, rc == 0 ? Outcome::Placed : Outcome::Failed, rc});
    }
    std::vector<int> originals;
    for (const Pending& p : group)
        if (p.original >= 0) originals.push_back(p.original);
    if (!originals.empty()) closeLater(std::move(originals));
    std::lock_guard lock(mutex_);
    for (const Pending& p : group) {
        const auto found = held_.find({p.source.identity.device, p.source.identity.inode});
        if (found != held_.end()) held_.erase(found);
    }
    group.clear();  // the temporary files of failures are removed here
    results_.insert(results_.end(), std::make_move_iterator(results.begin()), std::make_move_iterator(results.end()));
}

void ReplacementGroup::placeAll() {
    if (!filling_.empty()) handOver();
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queued_.empty() && flushed_.empty() && !flushing_ && !placing_; });
    lock.unlock();
    reportPlaced();
}

void ReplacementGroup::reportPlaced() {
    std::vector<Result> results;
    {
        std::lock_guard lock(mutex_);
        results.swap(results_);
    }
    if (report_)
        for (const Result& r : results) report_(r.path, r.outcome, r.error);
}

FileError replacementFailure(const std::string& path, ReplacementGroup::Outcome outcome, int error) {
    return FileError(outcome == ReplacementGroup::Outcome::ChangedSince ? FileError::Kind::ChangedSinceLoad
                                                                         : FileError::Kind::Write,
                     path, error);
}

}  // namespace quilvane
