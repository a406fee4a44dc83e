#include "tageditor/batch_tags.h"

#include <stdexcept>

#include "platform/display_name.h"
#include "platform/file_error.h"
#include "platform/folder_listing.h"
#include "platform/paths.h"
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
    if (!result.notWritten.empty()) text += "，" + std::to_string(result.notWritten.size()) + "个文件未能写入";
    return text;
}

BatchTagWalk::BatchTagWalk(BatchSettings settings, const std::atomic<bool>& stop,
                           std::function<TagFieldValues()> readFields,
                           std::function<void(int, const std::string&)> progress)
    : settings_(std::move(settings)), stop_(stop), readFields_(std::move(readFields)), progress_(std::move(progress)) {}

BatchResult BatchTagWalk::run() {
    result_ = {};
    try {
        WalkFolder(settings_.folder);
    } catch (const std::exception& e) {
        result_.failure = e.what();
    }
    result_.stopped = stop_;
    return result_;
}

void BatchTagWalk::WalkFolder(const std::string& folder) {
    std::vector<FolderEntry> entries;
    if (const int rc = listFolder(folder, entries); rc != 0)
        throw std::runtime_error(unreadableFolderMessage({folder, rc}));
    for (const FolderEntry& entry : entries) {
        if (stop_) return;
        const std::string path = joinPath(folder, entry.name);
        if (entry.kind == EntryKind::File) {
            if (ProcessFile(path) && !v2Refused_) {
                ++result_.done;
                if (progress_) progress_(result_.done, path);
            }
        } else if (entry.isDescendable() && settings_.includeSubfolders && !stop_) {
            WalkFolder(path);
        }
    }
}

bool BatchTagWalk::ProcessFile(const std::string& path) {
    if (!isMp3File(fileNameOf(path))) return false;
    v2Refused_ = false;
    const TagFieldValues fields = readFields_ ? readFields_() : TagFieldValues{};
    switch (settings_.mode) {
    case BatchMode::ChangeV1: ChangeV1(path, fields); break;
    case BatchMode::ChangeV2: ChangeV2(path, fields); break;
    case BatchMode::ChangeBoth: {
        ChangeV1(path, fields);
        const bool v1Written = v1_.Modified;
        try {
            ChangeV2(path, fields);
        } catch (const FileError& e) {
            if (v1Written) failedHalfWay(path, "ID3v1", "ID3v2", e);
            throw;
        }
        break;
    }
    case BatchMode::V1ToV2: CopyV1ToV2(path); break;
    case BatchMode::V2ToV1: CopyV2ToV1(path); break;
    case BatchMode::RemoveV1:
        v1_.LoadTag(path);
        v1_.RemoveTag();
        break;
    case BatchMode::RemoveV2:
        v2_.LoadTag(path);
        v2_.RemoveTag();
        break;
    case BatchMode::RemoveBoth: {
        readBothTags(path, v1_, v2_, OpenFile::Known::ListedAsRegularFile);
        // The ID3v2 tag goes first: its removal checks that the file is as it was read,
        // which cutting the ID3v1 tag off the end would change.
        const bool hadV2 = v2_.HasTag;
        v2_.RemoveTag();
        try {
            v1_.RemoveTag();
        } catch (const FileError& e) {
            if (hadV2) failedHalfWay(path, "ID3v2", "ID3v1", e);
            throw;
        }
        break;
    }
    }
    return true;
}

void BatchTagWalk::ChangeV1(const std::string& path, const TagFieldValues& fields) {
    const std::string name = displayName(fileNameOf(path));
    const std::string title = settings_.titleFromFileName ? NameWithoutExt(name) : fields.v1[0];
    const std::string artist = settings_.artistFromFolder ? displayName(LastFolderName(folderOf(path))) : fields.v1[1];
    v1_.LoadTag(path);
    v1_.SetTitle(title);
    v1_.SetArtist(artist);
    v1_.SetAlbum(fields.v1[2]);
    v1_.SetYear(fields.v1[3]);
    v1_.SetComment(fields.v1[4]);
    v1_.SetGenre(genreByte(fields.v1Genre));
    if (v1_.Modified) v1_.SaveTag();
}

void BatchTagWalk::ChangeV2(const std::string& path, const TagFieldValues& fields) {
    const std::string name = displayName(fileNameOf(path));
    v2_.LoadTag(path);
    for (std::size_t slot = 0; slot < 12; ++slot)
        if (slot != TID3V2::Genre) v2_.Frames[slot] = fields.v2[slot];
    if (settings_.titleFromFileName) v2_.Frames[TID3V2::Title] = NameWithoutExt(name);
    if (settings_.artistFromFolder) v2_.Frames[TID3V2::Artist] = displayName(LastFolderName(folderOf(path)));
    v2_.SetGenre(genreByte(fields.v2Genre));
    saveV2(path);
}

void BatchTagWalk::CopyV1ToV2(const std::string& path) {
    readBothTags(path, v1_, v2_, OpenFile::Known::ListedAsRegularFile);
    v2_.Frames[TID3V2::Title] = v1_.Title;
    v2_.Frames[TID3V2::Artist] = v1_.Artist;
    v2_.Frames[TID3V2::Album] = v1_.Album;
    v2_.Frames[TID3V2::Year] = v1_.Year;
    v2_.SetGenre(v1_.Genre);
    v2_.Frames[TID3V2::Comment] = v1_.Comment;
    saveV2(path);
}

void BatchTagWalk::CopyV2ToV1(const std::string& path) {
    readBothTags(path, v1_, v2_, OpenFile::Known::ListedAsRegularFile);
    v1_.SetTitle(v2_.Frames[TID3V2::Title]);
    v1_.SetArtist(v2_.Frames[TID3V2::Artist]);
    v1_.SetAlbum(v2_.Frames[TID3V2::Album]);
    v1_.SetYear(v2_.Frames[TID3V2::Year]);
    v1_.SetGenre(static_cast<std::uint8_t>(v2_.GetGenre() & 0xFF));
    v1_.SetComment(v2_.Frames[TID3V2::Comment]);
    v1_.SaveTag();
}

void BatchTagWalk::saveV2(const std::string& path) {
    if (v2_.SaveTag()) return;
    v2Refused_ = true;
    result_.notWritten.push_back(path);
}

}  // namespace quilvane
