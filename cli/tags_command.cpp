// `tags show|set|copy|remove`: both tags of files read through one opening, fields set
// one by one, and the tag editor's batch copies and removals over a folder or a tree.
#include <atomic>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/folders.h"
#include "cli/output.h"
#include "cli/tag_fields.h"
#include "platform/display_name.h"
#include "platform/file_error.h"
#include "platform/folder_listing.h"
#include "platform/paths.h"
#include "platform/replacement_group.h"
#include "platform/text.h"
#include "tageditor/batch_tags.h"
#include "tags/genres.h"
#include "tags/tag_reader.h"

namespace quilvane::cli {
namespace {

const OptionSpec kShowOptions{{"--json"}, {}, {}};
const OptionSpec kSetOptions{{"--dry-run", "--verbose"}, {"--v1", "--v2"}, {"--v1", "--v2"}};
const OptionSpec kBatchOptions{{"--tree", "--dry-run", "--verbose"}, {}, {}};

std::string showJson(const std::string& path, const TID3V1& v1, const TID3V2& v2) {
    std::string out = "{\"path\":" + jsonString(displayName(path));
    if (!isValidUtf8(path)) out += ",\"path_bytes\":" + jsonString(hexOf(path));
    out += ",\"id3v1\":";
    if (v1.HasTag) {
        out += "{";
        bool first = true;
        for (const TagField& f : kV1Fields) {
            out += std::string(first ? "" : ",") + jsonString(f.key) + ":" + jsonString(v1Text(v1, f));
            first = false;
        }
        out += ",\"genre\":" + std::to_string(v1.Genre) + ",\"genre_name\":" + jsonString(GenreName(v1.Genre)) + "}";
    } else {
        out += "null";
    }
    out += ",\"id3v2\":";
    if (v2.HasTag) {
        out += "{\"version\":\"2." + std::to_string(v2.version()) + "\"";
        for (const TagField& f : kV2Fields)
            if (!v2.Frames[f.slot].empty()) out += "," + jsonString(f.key) + ":" + jsonString(v2.Frames[f.slot]);
        out += "}";
    } else {
        out += "null";
    }
    return out + "}";
}

void showText(const std::string& path, const TID3V1& v1, const TID3V2& v2) {
    printLine(displayName(path));
    if (v1.HasTag) {
        std::string line = "  ID3v1:";
        for (const TagField& f : kV1Fields) line += "  " + f.key + "=" + v1Text(v1, f);
        printLine(line + "  genre=" + std::to_string(v1.Genre) + " (" + std::string(GenreName(v1.Genre)) + ")");
    } else {
        printLine(say("  ID3v1: 无", "  ID3v1: none"));
    }
    if (v2.HasTag) {
        std::string line = "  ID3v2.";
        line += std::to_string(v2.version()) + ":";
        for (const TagField& f : kV2Fields)
            if (!v2.Frames[f.slot].empty()) line += "  " + f.key + "=" + v2.Frames[f.slot];
        printLine(line);
    } else {
        printLine(say("  ID3v2: 无", "  ID3v2: none"));
    }
}

int tagsShow(const Words& words) {
    const Arguments args(words, kShowOptions);
    if (args.plain().empty()) throw UsageError(say("需要至少一个文件", "expected at least one FILE"));
    const bool json = args.flag("--json");
    TID3V1 v1;
    TID3V2 v2;
    int failed = 0;
    for (const std::string& path : args.plain()) {
        try {
            readBothTags(path, v1, v2);
        } catch (const FileError& e) {
            ++failed;
            if (json) printLine("{\"path\":" + jsonString(displayName(path)) + ",\"error\":" + jsonString(e.what()) + "}");
            else printProblem(e.what());
            continue;
        }
        if (json) printLine(showJson(path, v1, v2));
        else showText(path, v1, v2);
    }
    return failed == 0 ? kSuccess : kSomeFailed;
}

int tagsSet(const Words& words) {
    const Arguments args(words, kSetOptions);
    if (args.plain().empty()) throw UsageError(say("需要至少一个文件", "expected at least one FILE"));
    const std::vector<FieldValue> v1Values = parseFieldValues(args.values("--v1"), kV1Fields, true);
    const std::vector<FieldValue> v2Values = parseFieldValues(args.values("--v2"), kV2Fields, false);
    if (v1Values.empty() && v2Values.empty()) throw UsageError(say("用 --v1 或 --v2 指定要改的项", "give fields with --v1 or --v2"));
    const bool dryRun = args.flag("--dry-run");
    int changed = 0, unchanged = 0, failed = 0;
    // Files whose tag outgrows its room are flushed and put in place a group at a time.
    ReplacementGroup group([&](const std::string& path, ReplacementGroup::Outcome outcome, int error) {
        if (outcome == ReplacementGroup::Outcome::Placed) return;
        --changed;
        ++failed;
        printProblem(replacementFailure(path, outcome, error).what());
    });
    for (const std::string& path : args.plain()) {
        try {
            const FieldChanges changes = setFields(path, v1Values, v2Values, dryRun, &group);
            if (changes.lines.empty()) ++unchanged;
            else ++changed;
            if (dryRun || args.flag("--verbose"))
                for (const std::string& line : changes.lines) printLine(displayName(path) + ": " + line);
        } catch (const std::exception& e) {
            ++failed;
            printProblem(e.what());
        }
    }
    group.placeAll();
    printLine(dryRun ? say("试运行：将修改 " + std::to_string(changed) + " 个文件，不变 " + std::to_string(unchanged) + " 个，失败 " +
                               std::to_string(failed) + " 个（未改动任何文件）",
                           "dry run: would change " + std::to_string(changed) + " files, " + std::to_string(unchanged) +
                               " unchanged, " + std::to_string(failed) + " failed (nothing was changed)")
                     : say("已修改 " + std::to_string(changed) + " 个文件，不变 " + std::to_string(unchanged) + " 个，失败 " +
                               std::to_string(failed) + " 个",
                           "changed " + std::to_string(changed) + " files, " + std::to_string(unchanged) + " unchanged, " +
                               std::to_string(failed) + " failed"));
    return failed == 0 ? kSuccess : kSomeFailed;
}

// What a batch mode does to a file, in words.
std::string batchWork(BatchMode mode) {
    switch (mode) {
    case BatchMode::V1ToV2: return say("ID3v1 复制到 ID3v2", "copy ID3v1 to ID3v2");
    case BatchMode::V2ToV1: return say("ID3v2 复制到 ID3v1", "copy ID3v2 to ID3v1");
    case BatchMode::RemoveV1: return say("删除 ID3v1", "remove ID3v1");
    case BatchMode::RemoveV2: return say("删除 ID3v2", "remove ID3v2");
    default: return say("删除 ID3v1 和 ID3v2", "remove ID3v1 and ID3v2");
    }
}

// The tag editor's walk and per-file rule, worded for a terminal: every file is
// decided as the window decides it, and a failure is counted instead of ending the run.
class BatchRun {
public:
    BatchRun(BatchMode mode, const Arguments& args, const std::string& folder)
        : mode_(mode), dryRun_(args.flag("--dry-run")), verbose_(args.flag("--verbose")),
          walk_(BatchSettings{folder, mode, false, false, args.flag("--tree"), dryRun_, true}, stop_, {}, {},
                [this](const std::string& path, FileOutcome outcome, const std::string& failure) {
                    report(path, outcome, failure);
                }) {}

    int run() {
        walk_.run();
        progress_.clear();
        const std::string counts = std::to_string(changed_);
        printLine(dryRun_ ? say("试运行：将处理 " + counts + " 个文件，无需处理 " + std::to_string(unchanged_) + " 个，失败 " +
                                    std::to_string(failed_) + " 处（未改动任何文件）",
                                "dry run: would change " + counts + " files, " + std::to_string(unchanged_) +
                                    " need nothing, " + std::to_string(failed_) + " failed (nothing was changed)")
                          : say("已处理 " + counts + " 个文件，无需处理 " + std::to_string(unchanged_) + " 个，失败 " +
                                    std::to_string(failed_) + " 处",
                                "changed " + counts + " files, " + std::to_string(unchanged_) + " needed nothing, " +
                                    std::to_string(failed_) + " failed"));
        return failed_ == 0 ? kSuccess : kSomeFailed;
    }

private:
    void report(const std::string& path, FileOutcome outcome, const std::string& failure) {
        progress_.show(say("已查看 ", "looked at ") + std::to_string(++seen_));
        switch (outcome) {
        case FileOutcome::Done:
            ++changed_;
            if (dryRun_ || verbose_) printLine(displayName(path) + ": " + batchWork(mode_));
            break;
        case FileOutcome::NothingToDo:
        case FileOutcome::NoSourceTag: ++unchanged_; break;
        case FileOutcome::TooLarge:
            fail(say("ID3v2 标签超过 2000 字节，未写入：", "the ID3v2 tag would pass 2000 bytes, not written: ") + displayName(path));
            break;
        case FileOutcome::TextRefused:
            fail(say("ID3v1 标签存不下其中的文字（只能存 GBK 或 Latin-1 文字），未写入：",
                     "the ID3v1 tag cannot hold its texts (GBK or Latin-1 only), not written: ") + displayName(path));
            break;
        case FileOutcome::Failed: fail(failure); break;
        }
    }

    void fail(const std::string& text) {
        progress_.clear();
        printProblem(text);
        ++failed_;
    }

    BatchMode mode_;
    bool dryRun_, verbose_;
    std::atomic<bool> stop_{false};
    BatchTagWalk walk_;
    Progress progress_;
    int seen_ = 0, changed_ = 0, unchanged_ = 0, failed_ = 0;
};

int tagsBatch(const Words& words, bool copy) {
    if (words.empty()) throw UsageError(copy ? say("copy 后面要写 v1-to-v2 或 v2-to-v1", "copy needs v1-to-v2 or v2-to-v1")
                                             : say("remove 后面要写 v1、v2 或 all", "remove needs v1, v2 or all"));
    BatchMode mode;
    const std::string& what = words[0];
    if (copy && what == "v1-to-v2") mode = BatchMode::V1ToV2;
    else if (copy && what == "v2-to-v1") mode = BatchMode::V2ToV1;
    else if (!copy && what == "v1") mode = BatchMode::RemoveV1;
    else if (!copy && what == "v2") mode = BatchMode::RemoveV2;
    else if (!copy && what == "all") mode = BatchMode::RemoveBoth;
    else throw UsageError(say("不认识的方式 ", "unknown choice ") + what);
    const Arguments args(Words(words.begin() + 1, words.end()), kBatchOptions);
    args.expectPlain(1, "DIR");
    const std::string folder = existingFolder(args.plain()[0]);
    BatchRun run(mode, args, folder);
    return run.run();
}

}  // namespace

int tagsCommand(const Words& words) {
    if (words.empty()) throw UsageError(say("tags 后面要写 show、set、copy 或 remove", "tags needs show, set, copy or remove"));
    const Words rest(words.begin() + 1, words.end());
    if (words[0] == "show") return tagsShow(rest);
    if (words[0] == "set") return tagsSet(rest);
    if (words[0] == "copy") return tagsBatch(rest, true);
    if (words[0] == "remove") return tagsBatch(rest, false);
    throw UsageError(say("不认识的 tags 命令 ", "unknown tags command ") + words[0]);
}

}  // namespace quilvane::cli
