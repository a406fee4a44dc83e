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
        constexpr rlim_t wanted = 8 * ReplacementGroup::kFilesPerGroup + 1024;
        rlimit limit{};
        if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return std::size_t{16};
        if (limit.rlim_cur < wanted) {
            limit.rlim_cur = std::min<rlim_t>(wanted, limit.rlim_max);
            ::setrlimit(RLIMIT_NOFILE, &limit);
            ::getrlimit(RLIMIT_NOFILE, &limit);
        }
        const rlim_t spare = limit.rlim_cur > 512 ? (limit.rlim_cur - 512) / 8 : 0;
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
    if (worker_.joinable()) {
        {
            std::lock_guard lock(mutex_);
            ending_ = true;
        }
        changed_.notify_all();
        worker_.join();
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

// The full group goes to the background thread; while it is flushed the caller writes
// the next one. At most one more group waits, so open files stay few.
void ReplacementGroup::handOver() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queued_.empty(); });
    queued_.push_back(std::move(filling_));
    filling_.clear();
    fillingBytes_ = 0;
    if (!worker_.joinable()) worker_ = std::thread([this] { work(); });
    lock.unlock();
    changed_.notify_all();
}

void ReplacementGroup::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return ending_ || !queued_.empty(); });
        if (queued_.empty()) return;
        std::vector<Pending> group = std::move(queued_.front());
        queued_.pop_front();
        busy_ = true;
        changed_.notify_all();
        lock.unlock();
        flushAndPlace(group);
        lock.lock();
        busy_ = false;
        changed_.notify_all();
    }
}

void ReplacementGroup::flushAndPlace(std::vector<Pending>& group) {
    std::map<dev_t, std::vector<Pending*>> byDevice;
    for (Pending& p : group) byDevice[p.source.identity.device].push_back(&p);
    std::vector<Result> results;
    for (auto& [device, files] : byDevice) {
        std::map<Pending*, int> flushError;
        if (files.size() > 1 && syncfsFlushesAll(files.front()->file->fd())) {
            const int rc = ::syncfs(files.front()->file->fd()) == 0 ? 0 : errno;
            for (Pending* p : files) flushError[p] = rc;
        } else {
            for (Pending* p : files) flushError[p] = ::fdatasync(p->file->fd()) == 0 ? 0 : errno;
        }
        for (Pending* p : files) {
            if (const int rc = flushError[p]; rc != 0) {
                results.push_back({p->name, Outcome::Failed, rc});
                continue;
            }
            struct stat now {};
            const RewriteSource& was = p->source;
            if (::stat(p->path.c_str(), &now) != 0 || now.st_dev != was.identity.device ||
                now.st_ino != was.identity.inode || now.st_size != was.size || !sameTime(now.st_mtim, was.modified)) {
                results.push_back({p->name, Outcome::ChangedSince, 0});
                continue;
            }
            const int rc = p->file->replaceTarget();
            results.push_back({p->name, rc == 0 ? Outcome::Placed : Outcome::Failed, rc});
        }
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

void ReplacementGroup::waitUntilIdle() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queued_.empty() && !busy_; });
}

void ReplacementGroup::placeAll() {
    if (!filling_.empty()) {
        std::vector<Pending> last = std::move(filling_);
        filling_.clear();
        fillingBytes_ = 0;
        waitUntilIdle();
        flushAndPlace(last);
    }
    waitUntilIdle();
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
