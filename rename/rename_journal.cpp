#include "rename/rename_journal.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/vfs.h>
#include <sys/stat.h>
#include <unistd.h>

#include <dirent.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <unordered_map>

#include "platform/paths.h"
#include "platform/temporary_file.h"
#include "platform/system_reason.h"

namespace quilvane {
namespace {

constexpr std::string_view kHeader = "quilvane rename journal 1\n";
constexpr char kLegacyJournalName[] = "rename-journal";  // the one batch older versions kept
constexpr char kLockName[] = "rename-journal.lock";
constexpr char kHistoryName[] = "rename-history";
constexpr char kBatchSuffix[] = ".journal";
// Batches kept: the newest this many; an older one goes when a new one begins.
constexpr std::size_t kBatchesKept = 20;

// Names may hold any byte but '/' and zero: tabs, line breaks and '%' are escaped.
std::string escaped(std::string_view path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(path.size());
    for (const unsigned char c : path) {
        if (c < 0x20 || c == '%' || c == 0x7F) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<std::string> unescaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        const int high = hexValue(text[i + 1]), low = hexValue(text[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

// "i OLD<tab>NEW", then "<tab>DEVICE:INODE" of the file when it is known.
std::string intentLine(const RenameRecord& r) {
    std::string line = "i " + escaped(r.oldPath) + "\t" + escaped(r.newPath);
    if (r.knowsFile()) line += "\t" + std::to_string(r.file.device) + ":" + std::to_string(r.file.inode);
    return line + "\n";
}

std::optional<FileIdentity> identityIn(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    char* end = nullptr;
    const std::string device(text.substr(0, colon)), inode(text.substr(colon + 1));
    FileIdentity id;
    id.device = static_cast<dev_t>(std::strtoull(device.c_str(), &end, 10));
    if (device.empty() || *end != '\0') return std::nullopt;
    id.inode = static_cast<ino_t>(std::strtoull(inode.c_str(), &end, 10));
    if (inode.empty() || *end != '\0') return std::nullopt;
    return id;
}

// The entry at the path: its identity, or nothing when there is none.
std::optional<FileIdentity> entryAt(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return std::nullopt;
    return FileIdentity{st.st_dev, st.st_ino};
}

std::optional<std::string> readWhole(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string text;
    char buffer[65536];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR))
        if (n > 0) text.append(buffer, static_cast<std::size_t>(n));
    ::close(fd);
    return text;
}

struct Intent {
    RenameRecord record;
    bool done = false;
};

// The journal's text as far as it is whole: a line cut short by a crash ends it.
struct Parsed {
    std::time_t started = 0;
    std::string about, folder;
    std::vector<Intent> intents;
};

bool parse(const std::string& text, Parsed& parsed) {
    std::time_t& started = parsed.started;
    std::vector<Intent>& intents = parsed.intents;
    if (!text.starts_with(kHeader)) return false;
    std::size_t at = kHeader.size();
    while (at < text.size()) {
        const std::size_t end = text.find('\n', at);
        if (end == std::string::npos) break;
        const std::string_view line(text.data() + at, end - at);
        at = end + 1;
        if (line.starts_with("started ")) {
            started = static_cast<std::time_t>(std::strtoll(std::string(line.substr(8)).c_str(), nullptr, 10));
        } else if (line.starts_with("about ")) {
            const std::size_t tab = line.find('\t');
            auto about = unescaped(line.substr(6, tab == std::string_view::npos ? std::string_view::npos : tab - 6));
            auto folder = tab == std::string_view::npos ? std::optional<std::string>("") : unescaped(line.substr(tab + 1));
            if (!about || !folder) break;
            parsed.about = std::move(*about);
            parsed.folder = std::move(*folder);
        } else if (line.starts_with("i ")) {
            const std::size_t tab = line.find('\t');
            if (tab == std::string_view::npos) break;
            const std::size_t second = line.find('\t', tab + 1);
            auto oldPath = unescaped(line.substr(2, tab - 2));
            auto newPath = unescaped(line.substr(tab + 1, second == std::string_view::npos ? std::string_view::npos : second - tab - 1));
            if (!oldPath || !newPath) break;
            FileIdentity file{};
            if (second != std::string_view::npos) {
                const auto id = identityIn(line.substr(second + 1));
                if (!id) break;
                file = *id;
            }
            intents.push_back({{std::move(*newPath), std::move(*oldPath), file}, false});
        } else if (line.starts_with("d ")) {
            const std::size_t k = std::strtoull(std::string(line.substr(2)).c_str(), nullptr, 10);
            if (k >= intents.size()) break;
            intents[k].done = true;
        } else {
            break;
        }
    }
    return true;
}

// File systems whose inode numbers do not follow a file through a rename or a remount
// (FAT, exFAT and NTFS through their drivers or FUSE, SMB shares): there a file's identity
// proves nothing.
bool keepsIdentities(const std::string& folder) {
    struct statfs fs {};
    if (::statfs(folder.empty() ? "." : folder.c_str(), &fs) != 0) return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0x4d44UL:      // FAT
    case 0x2011BAB0UL:  // exFAT
    case 0x65735546UL:  // FUSE
    case 0x5346544eUL:  // NTFS
    case 0x7366746eUL:  // ntfs3
    case 0x517BUL:      // SMB
    case 0xFF534D42UL:  // CIFS
    case 0xFE534D42UL:  // SMB2
        return false;
    default: return true;
    }
}

// Renames are made in the order announced. One announced before the last mark and not
// marked failed. Those after it (marks are written a block at a time) are read from the
// disk, the last first, as the disk stood right after each, that is with the later ones
// taken back: a rename was made when its file is at its new name. Where the journal does
// not know the file, when its new name is there and its old one gone; names alone cannot
// tell a swap made from one never begun, the file's identity can.
std::vector<Intent> settledIntents(std::vector<Intent> intents) {
    std::unordered_map<std::string, bool> trusted;  // folder -> whether its identities can be
    const auto identitiesHold = [&trusted](const std::string& path) {
        const std::string folder = folderOf(path);
        const auto found = trusted.find(folder);
        return found != trusted.end() ? found->second : (trusted[folder] = keepsIdentities(folder));
    };
    std::size_t lastDone = 0;
    for (std::size_t k = 0; k < intents.size(); ++k)
        if (intents[k].done) lastDone = k + 1;
    std::unordered_map<std::string, std::optional<FileIdentity>> takenBack;  // path -> its entry then
    const auto entryThen = [&](const std::string& path) {
        const auto found = takenBack.find(path);
        return found != takenBack.end() ? found->second : entryAt(path);
    };
    for (std::size_t k = intents.size(); k-- > lastDone;) {
        const RenameRecord& r = intents[k].record;
        const auto atNew = entryThen(r.newPath);
        bool made;
        if (r.knowsFile() && identitiesHold(r.newPath)) made = atNew == r.file;
        // Without identities a cycle's last step (out of its parking name) is proven only
        // by its mark, synced right after it: a cycle made whole and one never begun leave
        // the same names.
        else if (isParkingName(r.oldPath)) made = false;
        else made = atNew && !entryThen(r.oldPath);
        if (!made) continue;
        intents[k].done = true;
        takenBack[r.newPath] = std::nullopt;
        takenBack[r.oldPath] = atNew;
    }
    return intents;
}

// The batch files of the history, oldest first (their names begin with the time).
std::vector<std::string> batchFiles(const std::string& history) {
    std::vector<std::string> files;
    if (DIR* dir = ::opendir(history.c_str())) {
        while (const dirent* e = ::readdir(dir)) {
            const std::string_view name = e->d_name;
            if (name.ends_with(kBatchSuffix) && !name.starts_with(".")) files.push_back(joinPath(history, std::string(name)));
        }
        ::closedir(dir);
    }
    std::sort(files.begin(), files.end());
    return files;
}

// A name that sorts by when the batch began, the nanosecond and the process telling
// batches of one second apart.
std::string batchFileName(std::time_t started, long nanoseconds, long pid) {
    char name[64];
    std::snprintf(name, sizeof name, "%012lld%09ld-%07ld%s", static_cast<long long>(started), nanoseconds, pid, kBatchSuffix);
    return name;
}

}  // namespace

std::string programStateFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') return joinPath(state, "quilvane");
    const char* home = std::getenv("HOME");
    return joinPath(home && home[0] ? home : "/", ".local/state/quilvane");
}

RenameJournal::RenameJournal(std::string folder) : folder_(std::move(folder)) {}

RenameJournal::~RenameJournal() {
    if (syncing_.joinable()) syncing_.join();
    if (fd_ >= 0) ::close(fd_);
    if (lockFd_ >= 0) ::close(lockFd_);
}

std::string RenameJournal::historyFolder() const { return joinPath(folder_, kHistoryName); }

std::string RenameJournal::path() const { return current_.empty() ? historyFolder() : current_; }

void RenameJournal::fail(const std::string& what, int error) {
    if (syncing_.joinable()) syncing_.join();
    problem_ = what + " " + path() + "：" + systemReason(error) + "（程序关闭后将不能撤销这一批改名）";
    // A journal with a gap would undo part of a batch: none is better.
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!current_.empty()) ::unlink(current_.c_str());
    current_.clear();
    broken_ = true;
    probed_ = false;
}

bool RenameJournal::lock() {
    if (lockFd_ >= 0) return true;
    if (lockRefused_) return false;
    if (const int error = createFolders(historyFolder())) {
        fail("无法建立改名日志的文件夹", error);
        return false;
    }
    ::chmod(folder_.c_str(), 0700);
    ::chmod(historyFolder().c_str(), 0700);
    lockFd_ = ::open(joinPath(folder_, kLockName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd_ < 0) {
        fail("无法打开改名日志", errno);
        return false;
    }
    if (::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
        ::close(lockFd_);
        lockFd_ = -1;
        lockRefused_ = true;
        problem_ = "另一个正在运行的Quilvane在使用改名日志，这一批改名只能在本程序关闭前撤销";
        return false;
    }
    takeInLegacyJournal();
    return true;
}

// The batch an older version kept in one file joins the history.
void RenameJournal::takeInLegacyJournal() {
    const std::string legacy = joinPath(folder_, kLegacyJournalName);
    const auto text = readWhole(legacy);
    if (!text) return;
    Parsed parsed;
    parse(*text, parsed);
    ::rename(legacy.c_str(), joinPath(historyFolder(), batchFileName(parsed.started, 0, 0)).c_str());
}

bool RenameJournal::writeText(const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd_, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            fail("无法写入改名日志", n < 0 ? errno : ENOSPC);
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::string RenameJournal::headerText() const {
    std::string text = std::string(kHeader) + "started " + std::to_string(started_) + "\n";
    if (!about_.empty() || !aboutFolder_.empty()) text += "about " + escaped(about_) + "\t" + escaped(aboutFolder_) + "\n";
    return text;
}

// A new batch gets a file of its own in the history; the batches before it stay there.
bool RenameJournal::open() {
    if (fd_ >= 0) return true;
    if (broken_ || !lock()) return false;
    if (!current_.empty()) {
        fd_ = ::open(current_.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
        if (fd_ < 0) fail("无法写入改名日志", errno);
        return fd_ >= 0;
    }
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    started_ = now.tv_sec;
    current_ = joinPath(historyFolder(), batchFileName(now.tv_sec, now.tv_nsec, static_cast<long>(::getpid())));
    fd_ = ::open(current_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600);
    if (fd_ < 0) {
        fail("无法建立改名日志", errno);
        return false;
    }
    nextIntent_ = 0;
    pending_.clear();
    pendingHead_ = 0;
    if (!writeText(headerText())) return false;
    // The oldest batches beyond the history's length go.
    const std::vector<std::string> files = batchFiles(historyFolder());
    for (std::size_t k = 0; k + kBatchesKept < files.size(); ++k)
        if (files[k] != current_) ::unlink(files[k].c_str());
    return true;
}

std::optional<RenameJournal::Batch> RenameJournal::readBatch(const std::string& file) const {
    const auto text = readWhole(file);
    if (!text) return std::nullopt;
    Parsed parsed;
    if (!parse(*text, parsed)) return std::nullopt;
    Batch batch;
    batch.started = parsed.started;
    batch.about = parsed.about;
    batch.folder = parsed.folder;
    for (const Intent& intent : settledIntents(parsed.intents))
        if (intent.done) batch.renames.push_back(intent.record);
    return batch;
}

// The newest batch with renames to undo; batches that have none left go.
std::optional<RenameJournal::Batch> RenameJournal::load() {
    if (!lock()) return std::nullopt;
    const std::vector<std::string> files = batchFiles(historyFolder());
    for (auto file = files.rbegin(); file != files.rend(); ++file) {
        if (*file == current_) continue;
        auto batch = readBatch(*file);
        if (!batch) continue;  // not a journal of ours: left alone
        if (batch->renames.empty()) {
            ::unlink(file->c_str());
            continue;
        }
        // Written anew as it now stands, so that later renames of the batch follow whole lines.
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
        current_ = *file;
        started_ = batch->started;
        about_ = batch->about;
        aboutFolder_ = batch->folder;
        rewrite(batch->renames);
        return batch;
    }
    return std::nullopt;
}

std::vector<RenameJournal::Batch> RenameJournal::history() const {
    std::vector<Batch> batches;
    const std::vector<std::string> files = batchFiles(historyFolder());
    for (auto file = files.rbegin(); file != files.rend(); ++file)
        if (auto batch = readBatch(*file); batch && !batch->renames.empty()) batches.push_back(std::move(*batch));
    return batches;
}

void RenameJournal::describe(std::string about, std::string folder) {
    about_ = std::move(about);
    aboutFolder_ = std::move(folder);
}

bool RenameJournal::rewrite(const std::vector<RenameRecord>& renames) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    const std::string fresh = joinPath(historyFolder(), "." + fileNameOf(current_) + ".new");
    std::string rewritten = headerText();
    for (std::size_t k = 0; k < renames.size(); ++k) rewritten += intentLine(renames[k]) + "d " + std::to_string(k) + "\n";
    fd_ = ::open(fresh.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0600);
    if (fd_ < 0) {
        fail("无法写入改名日志", errno);
        return false;
    }
    if (!writeText(rewritten)) return false;
    if (::fdatasync(fd_) != 0 || ::rename(fresh.c_str(), current_.c_str()) != 0) {
        fail("无法写入改名日志", errno);
        return false;
    }
    nextIntent_ = renames.size();
    pending_.clear();
    pendingHead_ = 0;
    marks_.clear();
    return true;
}

bool RenameJournal::writeIntents(const std::vector<RenameRecord>& upcoming) {
    if (!awaitAnnounced() || !open()) return false;
    std::string text = std::move(marks_);
    marks_.clear();
    for (const RenameRecord& r : upcoming) {
        text += intentLine(r);
        pending_.push_back(r);
    }
    nextIntent_ += upcoming.size();
    return writeText(text);
}

bool RenameJournal::announce(const std::vector<RenameRecord>& upcoming) {
    if (!writeIntents(upcoming)) return false;
    if (::fdatasync(fd_) != 0) {
        fail("无法写入改名日志", errno);
        return false;
    }
    return true;
}

bool RenameJournal::announceAhead(const std::vector<RenameRecord>& upcoming) {
    if (!writeIntents(upcoming)) return false;
    syncError_ = 0;
    syncing_ = std::thread([this, fd = fd_] { syncError_ = ::fdatasync(fd) == 0 ? 0 : errno; });
    return true;
}

bool RenameJournal::awaitAnnounced() {
    if (syncing_.joinable()) {
        syncing_.join();
        if (syncError_ != 0) fail("无法写入改名日志", syncError_);
    }
    return !broken_;
}

void RenameJournal::markDone(const RenameRecord& made) {
    if (fd_ < 0) return;
    // Announced renames that were not made come first: they are passed over.
    std::size_t at = pendingHead_;
    while (at < pending_.size() && !(pending_[at] == made)) ++at;
    if (at == pending_.size()) return;
    const std::size_t number = nextIntent_ - pending_.size() + at;
    pendingHead_ = at + 1;
    if (pendingHead_ == pending_.size()) {
        pending_.clear();
        pendingHead_ = 0;
    }
    // Written with the next announcement or when the batch settles: a mark lost with the
    // process is found again on the disk.
    marks_ += "d " + std::to_string(number) + "\n";
}

void RenameJournal::settle() {
    if (!awaitAnnounced() || fd_ < 0) return;
    std::string marks = std::move(marks_);
    marks_.clear();
    if (writeText(marks) && ::fdatasync(fd_) != 0) fail("无法写入改名日志", errno);
}

bool RenameJournal::writable() {
    if (lockRefused_) return false;
    if (probed_ && !broken_) return true;  // this journal was written to before: no probe each time
    if (const int error = lockFd_ < 0 ? createFolders(historyFolder()) : 0) {
        problem_ = "无法写入改名日志 " + path() + "：" + systemReason(error);
        return false;
    }
    if (!lock()) return false;
    // As much as the announcement of a block of renames takes, in a file that goes again.
    TemporaryFile probe(joinPath(historyFolder(), ".probe"));
    int error = probe.error();
    if (error == 0) error = probe.write(std::string(8192, '\n'));
    if (error == 0) error = probe.finish(true);
    probed_ = error == 0;
    if (probed_) return true;
    problem_ = "无法写入改名日志 " + path() + "：" + systemReason(error);
    return false;
}

void RenameJournal::keepOnly(const std::vector<RenameRecord>& renames) {
    if (renames.empty() || !awaitAnnounced() || !lock()) {
        discard();
        return;
    }
    if (current_.empty()) return;  // the batch was never journaled
    rewrite(renames);
}

void RenameJournal::discard() {
    awaitAnnounced();
    const std::string undone = current_;
    closeBatch();
    if (lockFd_ >= 0 && !undone.empty()) ::unlink(undone.c_str());
}

void RenameJournal::startNew() {
    awaitAnnounced();
    if (fd_ >= 0 && !marks_.empty()) settle();
    closeBatch();
}

// No batch is open any more; the next renames begin one.
void RenameJournal::closeBatch() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    current_.clear();
    pending_.clear();
    pendingHead_ = 0;
    marks_.clear();
    nextIntent_ = 0;
    broken_ = false;
    if (!lockRefused_) problem_.clear();
}

}  // namespace quilvane
