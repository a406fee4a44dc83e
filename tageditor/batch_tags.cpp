#include "tageditor/batch_tags.h"

#include <cerrno>
#include <stdexcept>

#include "platform/display_name.h"
#include "platform/file_error.h"
#include "platform/folder_listing.h"
#include "platform/paths.h"
#include "platform/temporary_file.h"
#include "platform/text.h"
#include "tags/tag_reader.h"

namespace quilvane {
namespace {

std::uint8_t genreByte(int index) { return static_cast<std::uint8_t>(index < 0 ? 255 : index); }

// A failure in the second tag of a file whose first tag was written already: the user
// is told exactly what happened to the file.
[[noreturn]] void failedHalfWay(const std::string& path, const char* written, const char* failed, const FileError& e) {
    throw std::runtime_error("文件 " + displayName(path) + " 的" + written + "标签已写入，" + failed + "标签未能写入：" + e.what());
}

}  // namespace

bool isMp3File(std::string_view name) {
    const auto dot = name.rfind('.');
    return dot != std::string_view::npos && asciiUpper(name.substr(dot)) == ".MP3";
}

std::string NameWithoutExt(std::string_view name) {
    const auto dot = name.rfind('.');
    return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

std::string LastFolderName(std::string_view folder) {
    if (folder.size() > 1 && folder.back() == '/') folder.remove_suffix(1);
    if (folder == "/") return {};
    return fileNameOf(folder);
}

std::string batchEndText(const BatchResult& result) {
    std::string text = result.stopped ? "已停止 ！ 完成" + std::to_string(result.done)
                                      : std::to_string(result.done) + "个MP3文件已完成指定ID3修改";
    if (!result.noSource.empty())
        text += "，" + std::to_string(result.noSource.size()) + "个文件没有" +
                (result.mode == BatchMode::V2ToV1 ? "ID3v2" : "ID3v1") + "标签，未改动";
    const std::size_t unwritten = result.notWritten.size() + result.v1Refused.size();
    if (unwritten > 0) text += "，" + std::to_string(unwritten) + "个文件未能写入";
    return text;
}

BatchWork batchWorkFor(BatchMode mode, const TID3V1& v1, const TID3V2& v2) {
    switch (mode) {
    case BatchMode::V1ToV2: return v1.HasTag ? BatchWork::Write : BatchWork::NoSourceTag;
    case BatchMode::V2ToV1: return v2.HasTag ? BatchWork::Write : BatchWork::NoSourceTag;
    case BatchMode::RemoveV1: return v1.HasTag ? BatchWork::Write : BatchWork::NothingToRemove;
    case BatchMode::RemoveV2: return v2.HasTag ? BatchWork::Write : BatchWork::NothingToRemove;
    case BatchMode::RemoveBoth: return v1.HasTag || v2.HasTag ? BatchWork::Write : BatchWork::NothingToRemove;
    default: return BatchWork::Write;
    }
}

BatchTagWalk::BatchTagWalk(BatchSettings settings, const std::atomic<bool>& stop,
                           std::function<TagFieldValues()> readFields,
                           std::function<void(int, const std::string&)> progress, FileReport report)
    : settings_(std::move(settings)), stop_(stop), readFields_(std::move(readFields)), progress_(std::move(progress)),
      report_(std::move(report)) {}

BatchResult BatchTagWalk::run() {
    result_ = {};
    result_.mode = settings_.mode;
    waiting_.clear();
    lateFailure_.clear();
    walked_ = 0;
    group_.reset();
    if (!settings_.dryRun)
        group_ = std::make_unique<ReplacementGroup>(
            [this](const std::string& path, ReplacementGroup::Outcome outcome, int error) { rewriteDone(path, outcome, error); });
    v2_.deferReplacementsTo(group_.get());
    try {
        WalkFolder(settings_.folder);
    } catch (const std::exception& e) {
        result_.failure = e.what();
    }
    // What was written is put in place, a stop or a failure notwithstanding.
    if (group_) group_->placeAll();
    if (result_.failure.empty() && !settings_.keepGoing) result_.failure = lateFailure_;
    v2_.deferReplacementsTo(nullptr);
    group_.reset();
    result_.stopped = stop_;
    return result_;
}

void BatchTagWalk::rewriteDone(const std::string& path, ReplacementGroup::Outcome outcome, int error) {
    const auto found = waiting_.find(path);
    if (found == waiting_.end()) return;
    const Waiting waiting = found->second;
    waiting_.erase(found);
    if (outcome == ReplacementGroup::Outcome::Placed) {
        finishFile(path, waiting.outcome, {});
        return;
    }
    std::string failure = replacementFailure(path, outcome, error).what();
    if (waiting.v1Written)
        failure = "文件 " + displayName(path) + " 的ID3v1标签已写入，ID3v2标签未能写入：" + failure;
    result_.failures.push_back(failure);
    if (lateFailure_.empty()) lateFailure_ = failure;
    finishFile(path, FileOutcome::Failed, failure);
}

void BatchTagWalk::WalkFolder(const std::string& folder) {
    std::vector<FolderEntry> entries;
    bool leftovers = false;
    if (const int rc = listFolderSeeingLeftovers(folder, entries, leftovers); rc != 0) {
        const std::string message = unreadableFolderMessage({folder, rc});
        if (!settings_.keepGoing) throw std::runtime_error(message);
        result_.failures.push_back(message);
        if (report_) report_(folder, FileOutcome::Failed, message);
        return;
    }
    // A run killed in the middle of putting a rewrite in place may have left its copy
    // (a hidden name, which the listing leaves out).
    if (leftovers && !settings_.dryRun) removeLeftoverTemporaryFiles(folder);
    for (const FolderEntry& entry : entries) {
        if (stop_) return;
        if (!lateFailure_.empty() && !settings_.keepGoing) throw std::runtime_error(lateFailure_);
        const std::string path = joinPath(folder, entry.name);
        // Pipes, devices and sockets are passed over, whatever their names.
        if (entry.kind == EntryKind::File && isMp3File(entry.name)) handleFile(path);
        else if (entry.isDescendable() && settings_.includeSubfolders && !stop_) WalkFolder(path);
    }
}

void BatchTagWalk::handleFile(const std::string& path) {
    FileOutcome outcome = FileOutcome::Failed;
    std::string failure;
    const std::size_t rewritesBefore = group_ ? group_->added() : 0;
    try {
        outcome = ProcessFile(path);
    } catch (const std::exception& e) {
        if (!settings_.keepGoing) throw;
        failure = e.what();
        result_.failures.push_back(failure);
    }
    // The progress follows the walk; the count of the end text, what is in place.
    if (outcome == FileOutcome::Done || outcome == FileOutcome::NothingToDo)
        if (progress_) progress_(++walked_, path);
    if (group_ && group_->added() > rewritesBefore && outcome != FileOutcome::Failed) {
        waiting_[path] = {outcome, v1Written_};
        return;
    }
    finishFile(path, outcome, failure);
}

void BatchTagWalk::finishFile(const std::string& path, FileOutcome outcome, const std::string& failure) {
    switch (outcome) {
    case FileOutcome::Done:
    case FileOutcome::NothingToDo:
        ++result_.done;
        break;
    case FileOutcome::NoSourceTag: result_.noSource.push_back(path); break;
    case FileOutcome::TooLarge: result_.notWritten.push_back(path); break;
    case FileOutcome::TextRefused: result_.v1Refused.push_back(path); break;
    case FileOutcome::Failed: break;
    }
    if (report_) report_(path, outcome, failure);
}

// Read and write where the user may write; elsewhere read, and a write (if the mode
// has one) fails on its own opening, saying why.
std::optional<OpenFile> BatchTagWalk::openForRun(const std::string& path) {
    constexpr auto listed = OpenFile::Known::ListedAsRegularFile;
    if (settings_.dryRun) return OpenFile::forReading(path, listed);
    try {
        return OpenFile::forReadWrite(path, listed);
    } catch (const FileError& e) {
        if (e.kind() != FileError::Kind::Open || (e.error() != EACCES && e.error() != EROFS && e.error() != EPERM))
            throw;
    }
    return std::nullopt;
}

FileOutcome BatchTagWalk::ProcessFile(const std::string& path) {
    std::optional<OpenFile> file = openAfterPendingRewrites(group_.get(), [&] { return openForRun(path); });
    v1_.writeThrough(file ? &*file : nullptr);
    v2_.writeThrough(file ? &*file : nullptr);
    struct Release {
        BatchTagWalk& walk;
        ~Release() {
            walk.v1_.writeThrough(nullptr);
            walk.v2_.writeThrough(nullptr);
        }
    } release{*this};
    const bool id3v2Alone = settings_.mode == BatchMode::ChangeV2 || settings_.mode == BatchMode::RemoveV2;
    if (file && id3v2Alone) {
        // The ID3v1 block plays no part: it is not read.
        v1_.forgetFile(path);
        v2_.forgetFile(path);
        v2_.ReadFrom(*file, file->readStringAt(0, TID3V2::kFirstRead));
    } else if (file) {
        readBothTags(*file, v1_, v2_);
    } else {
        readBothTags(path, v1_, v2_, OpenFile::Known::ListedAsRegularFile);
    }
    switch (batchWorkFor(settings_.mode, v1_, v2_)) {
    case BatchWork::NoSourceTag: return FileOutcome::NoSourceTag;
    case BatchWork::NothingToRemove: return FileOutcome::NothingToDo;
    case BatchWork::Write: break;
    }
    if (settings_.dryRun) return FileOutcome::Done;
    return writeFile(path);
}

// The work of a mode whose tags were read (copies, removals) or that reads its own.
FileOutcome BatchTagWalk::writeFile(const std::string& path) {
    v2Refused_ = false;
    v1Refused_ = false;
    v1Written_ = false;
    switch (settings_.mode) {
    case BatchMode::ChangeV1: ChangeV1(path, readFields_ ? readFields_() : TagFieldValues{}); break;
    case BatchMode::ChangeV2: ChangeV2(path, readFields_ ? readFields_() : TagFieldValues{}); break;
    case BatchMode::ChangeBoth: {
        const TagFieldValues fields = readFields_ ? readFields_() : TagFieldValues{};
        ChangeV1(path, fields);
        v1Written_ = v1_.Modified && !v1Refused_;
        try {
            if (v1Written_) v2_.followOtherTagWrite();
            ChangeV2(path, fields);
        } catch (const FileError& e) {
            if (v1Written_) failedHalfWay(path, "ID3v1", "ID3v2", e);
            throw;
        }
        break;
    }
    case BatchMode::V1ToV2: CopyV1ToV2(); break;
    case BatchMode::V2ToV1: CopyV2ToV1(); break;
    case BatchMode::RemoveV1: v1_.RemoveTag(); break;
    case BatchMode::RemoveV2: v2_.RemoveTag(); break;
    case BatchMode::RemoveBoth:
        // One rewrite takes both tags off: the file is never left with one of them.
        if (v2_.HasTag) v2_.RemoveTag(true);
        else v1_.RemoveTag();
        break;
    }
    if (v2Refused_) return FileOutcome::TooLarge;
    return v1Refused_ ? FileOutcome::TextRefused : FileOutcome::Done;
}

void BatchTagWalk::ChangeV1(const std::string& path, const TagFieldValues& fields) {
    const std::string title = settings_.titleFromFileName ? NameWithoutExt(displayName(fileNameOf(path))) : fields.v1[0];
    const std::string artist = settings_.artistFromFolder ? displayName(LastFolderName(folderOf(path))) : fields.v1[1];
    v1_.SetTitle(title);
    v1_.SetArtist(artist);
    v1_.SetAlbum(fields.v1[2]);
    v1_.SetYear(fields.v1[3]);
    v1_.SetComment(fields.v1[4]);
    v1_.SetGenre(genreByte(fields.v1Genre));
    if (v1_.Modified) saveV1();
}

void BatchTagWalk::ChangeV2(const std::string& path, const TagFieldValues& fields) {
    for (std::size_t slot = 0; slot < 12; ++slot)
        if (slot != TID3V2::Genre) v2_.Frames[slot] = fields.v2[slot];
    if (settings_.titleFromFileName) v2_.Frames[TID3V2::Title] = NameWithoutExt(displayName(fileNameOf(path)));
    if (settings_.artistFromFolder) v2_.Frames[TID3V2::Artist] = displayName(LastFolderName(folderOf(path)));
    v2_.SetGenre(genreByte(fields.v2Genre));
    saveV2();
}

// The other frames (track, composer and the rest) keep what the file holds.
void BatchTagWalk::CopyV1ToV2() {
    v2_.Frames[TID3V2::Title] = v1_.Title;
    v2_.Frames[TID3V2::Artist] = v1_.Artist;
    v2_.Frames[TID3V2::Album] = v1_.Album;
    v2_.Frames[TID3V2::Year] = v1_.Year;
    v2_.SetGenre(v1_.Genre);
    v2_.Frames[TID3V2::Comment] = v1_.Comment;
    saveV2();
}

void BatchTagWalk::CopyV2ToV1() {
    v1_.SetTitle(v2_.Frames[TID3V2::Title]);
    v1_.SetArtist(v2_.Frames[TID3V2::Artist]);
    v1_.SetAlbum(v2_.Frames[TID3V2::Album]);
    v1_.SetYear(v2_.Frames[TID3V2::Year]);
    v1_.SetGenre(static_cast<std::uint8_t>(v2_.GetGenre() & 0xFF));
    v1_.SetComment(v2_.Frames[TID3V2::Comment]);
    saveV1();
}

// One file whose name or tag holds a character ID3v1 cannot hold does not end the run.
void BatchTagWalk::saveV1() {
    try {
        v1_.SaveTag();
    } catch (const FileError& e) {
        const auto kind = e.kind();
        if (kind != FileError::Kind::NotInLegacyCodePage && kind != FileError::Kind::LegacyCodePagesClash &&
            kind != FileError::Kind::UnreadableCharacter)
            throw;
        v1Refused_ = true;
    }
}

void BatchTagWalk::saveV2() { v2Refused_ = !v2_.SaveTag(); }

}  // namespace quilvane
