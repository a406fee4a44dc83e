#pragma once
// The batch change of the tag editor: every MP3 file of a folder (and, if asked, of its
// sub-folders) gets its ID3v1 and/or ID3v2 tag changed, copied from the other tag, or
// removed. The values to write are read afresh for each file, so a value edited during
// a run applies to the files after the edit. The walk owns its tag objects.
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/replacement_group.h"
#include "tags/id3v1.h"
#include "tags/id3v2.h"

namespace quilvane {

enum class BatchMode : std::uint8_t {
    ChangeV1 = 0,    // "修改ID3v1"
    ChangeV2 = 1,    // "修改ID3v2"
    ChangeBoth = 2,  // "全部修改"
    V1ToV2 = 3,      // "ID3v1->ID3v2"
    V2ToV1 = 4,      // "ID3v2->ID3v1"
    RemoveV1 = 5,    // "删除ID3v1"
    RemoveV2 = 6,    // "删除ID3v2"
    RemoveBoth = 7,  // "全部删除"
};

// The tag editor's fields (UTF-8). Genres are list indexes, -1 for no selection.
struct TagFieldValues {
    std::array<std::string, 5> v1;   // title, artist, album, year, comment
    int v1Genre = 53;
    std::array<std::string, 12> v2;  // by TID3V2 slot; the genre slot is v2Genre
    int v2Genre = 53;
};

struct BatchSettings {
    std::string folder;
    BatchMode mode = BatchMode::ChangeV1;
    bool titleFromFileName = false;
    bool artistFromFolder = false;
    bool includeSubfolders = false;
    // Read and decide each file, write nothing (the command line's dry run).
    bool dryRun = false;
    // A file or folder that fails is noted and the walk goes on (the command line); the
    // tag editor's run ends at the first failure.
    bool keepGoing = false;
};

// What a mode does to a file with these tags. One rule for the tag editor and the
// command line: a copy from a tag the file does not have changes nothing (it would
// empty the other tag), and a removal of a tag it does not have has nothing to do.
enum class BatchWork { Write, NothingToRemove, NoSourceTag };
BatchWork batchWorkFor(BatchMode mode, const TID3V1& v1, const TID3V2& v2);

// How one MP3 file of the walk came out.
enum class FileOutcome {
    Done,         // the mode's work was done (a dry run: would be done)
    NothingToDo,  // the tag to remove was not there
    NoSourceTag,  // the tag to copy from was not there: left untouched
    TooLarge,     // its ID3v2 tag would pass the size limit: not written
    TextRefused,  // its ID3v1 tag cannot hold a text to write (no place in GBK or Latin-1)
    Failed,       // could not be read or written (keepGoing only; else the run ends)
};

struct BatchResult {
    BatchMode mode = BatchMode::ChangeV1;
    int done = 0;  // files whose work was done, or that had nothing to remove
    bool stopped = false;
    std::vector<std::string> notWritten;  // files whose ID3v2 tag was not written
    std::vector<std::string> v1Refused;   // files whose ID3v1 tag could not hold the texts
    std::vector<std::string> noSource;    // files a copy left untouched: no tag to copy
    std::vector<std::string> failures;    // what failed, each naming its file (keepGoing)
    std::string failure;                  // what ended the run, naming the file
};

// Each file is opened once, for reading and writing, and each tag read once. Files whose
// ID3v2 tag outgrows its room are rewritten and put in place in flushed groups: such a
// file is reported (and counted) once it is in place.
class BatchTagWalk {
public:
    using FileReport = std::function<void(const std::string& path, FileOutcome outcome, const std::string& failure)>;
    BatchTagWalk(BatchSettings settings, const std::atomic<bool>& stop, std::function<TagFieldValues()> readFields,
                 std::function<void(int done, const std::string& path)> progress, FileReport report = {});

    BatchResult run();
    const BatchResult& result() const { return result_; }

private:
    void WalkFolder(const std::string& folder);
    void handleFile(const std::string& path);
    void finishFile(const std::string& path, FileOutcome outcome, const std::string& failure);
    // A rewrite put in place, or not, by the group.
    void rewriteDone(const std::string& path, ReplacementGroup::Outcome outcome, int error);
    // The file opened for the run's reads and writes, sharing one opening with both tags.
    std::optional<OpenFile> openForRun(const std::string& path);
    // The mode's work on one MP3 file. Throws std::runtime_error, saying what was and
    // was not written, when a tag cannot be read or written.
    FileOutcome ProcessFile(const std::string& path);
    FileOutcome writeFile(const std::string& path);
    void ChangeV1(const std::string& path, const TagFieldValues& fields);
    void ChangeV2(const std::string& path, const TagFieldValues& fields);
    void CopyV1ToV2();
    void CopyV2ToV1();
    // Saves the ID3v1 tag; a text it cannot hold leaves it unwritten and noted.
    void saveV1();
    // The ID3v2 tag saved, or noted as over the size limit (nothing written).
    void saveV2();

    BatchSettings settings_;
    const std::atomic<bool>& stop_;
    std::function<TagFieldValues()> readFields_;
    std::function<void(int, const std::string&)> progress_;
    FileReport report_;
    TID3V1 v1_;
    TID3V2 v2_;
    BatchResult result_;
    bool v2Refused_ = false;  // the file in hand's ID3v2 tag was not written
    bool v1Refused_ = false;  // nor its ID3v1 tag, for a text it cannot hold
    bool v1Written_ = false;  // its ID3v1 tag was written in place
    struct Waiting {
        FileOutcome outcome;
        bool v1Written;
    };
    std::map<std::string, Waiting> waiting_;  // files whose rewrite is not yet in place
    std::string lateFailure_;                 // a rewrite that could not be put in place
    int walked_ = 0;                          // files done so far, in place or not yet
    std::unique_ptr<ReplacementGroup> group_;
};

// The files the batch change works on: names ending in ".mp3", in any letter case.
bool isMp3File(std::string_view name);
// The file name without its extension: the text before its last '.'.
std::string NameWithoutExt(std::string_view name);
// The folder's own name; empty for the root.
std::string LastFolderName(std::string_view folder);
// The end text of a run: "N个MP3文件已完成指定ID3修改", or "已停止 ！ 完成N" after a stop,
// how many files a copy left untouched for want of its source tag, and how many were
// not written.
std::string batchEndText(const BatchResult& result);

}  // namespace quilvane
