#include "tageditor/repair_apply.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "rename/name_rules.h"
#include "rename/rename_batch.h"
#include "platform/display_name.h"
#include "platform/file_error.h"
#include "platform/paths.h"
#include "platform/replacement_group.h"
#include "platform/temporary_file.h"
#include "platform/text.h"
#include "tags/genres.h"
#include "tags/id3v2.h"
#include "tags/tag_block.h"

namespace quilvane {
namespace {

using id3v2::RawFrame;

std::string utf16Piece(const std::string& utf8, bool terminated) {
    std::string bytes = id3v2::encodeTerminated(1, utf8);
    if (!terminated) bytes.resize(bytes.size() - 2);
    return bytes;
}

// The frame with its texts in the chosen reading, as UTF-16 with a byte order mark (valid
// in every version); its status flags stay, its format flags go with the old encoding.
RawFrame repairedFrame(const RawFrame& before, const std::string& content, const RepairFinding& f) {
    const std::vector<std::string> texts = f.piecesAs(f.reading);
    std::string body(1, '\x01');
    if (isCommentLikeFrame(f.frameId)) {
        body += content.substr(1, 3);  // the language
        body += utf16Piece(texts.empty() ? std::string() : texts[0], true);
        body += utf16Piece(texts.size() > 1 ? texts[1] : std::string(), false);
    } else {
        for (std::size_t i = 0; i < texts.size(); ++i) body += utf16Piece(texts[i], i + 1 < texts.size());
    }
    return RawFrame{before.id, {before.flags[0], 0}, body};
}

RawFrame textFrame(const std::string& id, const std::string& text) {
    if (isCommentLikeFrame(id)) return RawFrame{id, {}, id3v2::renderComment({"eng", "", text})};
    return RawFrame{id, {}, id3v2::renderTextFrame(text)};
}

// A file without an ID3v2 tag gets one with every text of its ID3v1 tag: players that
// read the new tag alone would otherwise lose the year or an ASCII title. Unchecked
// legacy texts stay out of it.
std::vector<RawFrame> framesFromId3v1(const TagBlock& block, const std::vector<const RepairFinding*>& checked,
                                      const std::vector<int>& uncheckedFields) {
    std::vector<RawFrame> frames;
    static constexpr const char* kIds[5] = {"TIT2", "TPE1", "TALB", "TYER", "COMM"};
    for (int field = 0; field < 5; ++field) {
        const auto mine = std::find_if(checked.begin(), checked.end(), [&](const RepairFinding* f) { return f->field == field; });
        if (mine != checked.end()) {
            frames.push_back(textFrame(kIds[field], (*mine)->readAs()));
            continue;
        }
        if (std::find(uncheckedFields.begin(), uncheckedFields.end(), field) != uncheckedFields.end()) continue;
        const std::string text(trimBlanks(block.field(kTextFields[static_cast<std::size_t>(field)])));
        if (!text.empty() && isValidUtf8(text)) frames.push_back(textFrame(kIds[field], text));
    }
    if (block.genre() < Genres.size())
        frames.push_back(textFrame("TCON", "(" + std::to_string(block.genre()) + ")" + std::string(GenreName(block.genre()))));
    return frames;
}

// The tag repairs of one file; false with a failure noted when the file cannot be written
// or changed since it was scanned.
bool repairTags(const std::string& path, const std::vector<const RepairFinding*>& checked,
                const std::vector<int>& uncheckedFields, RepairReport& report, ReplacementGroup& group) {
    try {
        // Both tags read and the file written through one opening.
        std::optional<OpenFile> opened =
            openAfterPendingRewrites(&group, [&] { return std::optional<OpenFile>(OpenFile::forReadWrite(path)); });
        OpenFile& file = *opened;
        TID3V2 v2;
        v2.deferReplacementsTo(&group);
        v2.writeThrough(&file);
        v2.FileName = path;
        const TagBlock block = readTagBlock(file);
        v2.ReadFrom(file, file.readStringAt(0, TID3V2::kFirstRead), &block);
        std::map<std::size_t, RawFrame> replaced;
        std::vector<const RepairFinding*> fromId3v1;
        for (const RepairFinding* f : checked) {
            // The text must still be what the scan found: a newer edit is never overwritten.
            bool unchanged;
            if (f->kind == RepairKind::Id3v1Only) {
                unchanged = block.isTag() && block.field(kTextFields[static_cast<std::size_t>(f->field)]) == f->pieces.at(0);
                fromId3v1.push_back(f);
            } else {
                const auto content = v2.contentOf(f->frameIndex);
                unchanged = content && *content == f->content && v2.frames()[f->frameIndex].id == f->frameId;
                if (unchanged) replaced[f->frameIndex] = repairedFrame(v2.frames()[f->frameIndex], *content, *f);
            }
            if (!unchanged) {
                report.failures.push_back(displayName(path) + "：扫描之后文件又被改动过，请重新扫描");
                return false;
            }
        }
        std::vector<RawFrame> added;
        if (!fromId3v1.empty()) {
            if (v2.HasTag) {
                for (const RepairFinding* f : fromId3v1) added.push_back(textFrame(f->frameId, f->readAs()));
            } else {
                added = framesFromId3v1(block, fromId3v1, uncheckedFields);
            }
        }
        v2.SaveFrames(replaced, added);
        report.applied += static_cast<int>(checked.size());
        return true;
    } catch (const FileError& e) {
        report.failures.push_back(e.what());
        return false;
    }
}

std::size_t depthOf(const std::string& path) { return static_cast<std::size_t>(std::count(path.begin(), path.end(), '/')); }

}  // namespace

RepairReport applyRepairs(const std::vector<RepairFinding>& findings, UndoList& log,
                          const std::function<void(int, int)>& progress, const std::atomic<bool>* stop) {
    RepairReport report;
    // The tag findings of each file, in the order the files were found.
    std::vector<std::string> order;
    std::map<std::string, std::vector<const RepairFinding*>> checkedTags;
    std::map<std::string, std::vector<int>> uncheckedFields;
    std::vector<const RepairFinding*> names;
    for (const RepairFinding& f : findings) {
        if (!f.checked) {
            ++report.left;
            if (f.kind == RepairKind::Id3v1Only) uncheckedFields[f.path].push_back(f.field);
            continue;
        }
        if (f.kind == RepairKind::LegacyName) {
            names.push_back(&f);
            continue;
        }
        if (!checkedTags.contains(f.path)) order.push_back(f.path);
        checkedTags[f.path].push_back(&f);
    }
    const int total = static_cast<int>(order.size() + names.size());
    int done = 0;
    std::set<std::string> repaired;  // as scanned
    {
        // Rewritten tags are flushed and put in place a group at a time; one that cannot
        // be put in place after all is taken back out of the count.
        ReplacementGroup group([&](const std::string& path, ReplacementGroup::Outcome outcome, int error) {
            if (outcome == ReplacementGroup::Outcome::Placed) return;
            report.failures.push_back(replacementFailure(path, outcome, error).what());
            if (repaired.erase(path) > 0) report.applied -= static_cast<int>(checkedTags[path].size());
        });
        for (const std::string& path : order) {
            if (stop && stop->load()) break;
            if (repairTags(path, checkedTags[path], uncheckedFields[path], report, group)) repaired.insert(path);
            group.reportPlaced();
            if (progress) progress(++done, total);
        }
        // Every tag is in place before any name changes.
        group.placeAll();
    }

    // Files before folders, deeper folders before the folders holding them: every path
    // still names what it named when it was scanned.
    std::stable_sort(names.begin(), names.end(), [](const RepairFinding* a, const RepairFinding* b) {
        if (a->folder != b->folder) return !a->folder;
        return a->folder && depthOf(a->path) > depthOf(b->path);
    });
    RenameBatch batch;
    for (const RepairFinding* f : names) {
        const std::string name = f->readAs();
        if (!isApplicableName(name)) {
            report.failures.push_back(displayName(f->path) + "：读出的名字不能用作文件名");
            continue;
        }
        batch.add(f->path, joinPath(folderOf(f->path), name));
    }
    if (!batch.empty() && !(stop && stop->load())) {
        log.startBatch();
        const BatchOutcome outcome = batch.run(log, [&](const std::string& from, const std::string& to) {
            report.failures.push_back(displayName(from) + "：已有同名的 " + displayName(fileNameOf(to)) + "，未改名");
            return HeldName::Skip;
        });
        for (const RenameRequest& r : outcome.failed) report.failures.push_back(displayName(r.from) + "：改名失败");
        for (const RenameRequest& r : outcome.sameNameAsEarlier)
            report.failures.push_back(displayName(r.from) + "：与另一个文件读出的名字相同，未改名");
        report.applied += outcome.renamed;
        for (const RenameRecord& r : log.records())
            if (!isParkingName(r.newPath)) repaired.insert(r.oldPath);
        done += static_cast<int>(names.size());
        if (progress) progress(done, total);
    }
    // A file repaired in its tags and its name counts once.
    report.filesRepaired = static_cast<int>(repaired.size());
    return report;
}

std::string RepairReport::text() const {
    std::string text = "修复完成：" + std::to_string(filesRepaired) + "个文件（文件夹）已修复，共" + std::to_string(applied) + "处";
    text += "；" + std::to_string(left) + "处未选中，保持原样";
    if (failures.empty()) return text + "。";
    text += "；" + std::to_string(failures.size()) + "处未能修复：";
    for (const std::string& f : failures) text += "\n" + f;
    return text;
}

bool writeRepairReport(const std::string& path, const RepairReport& report, const std::vector<RepairFinding>& findings) {
    std::string text = report.text() + "\n\n选中\t文件\t位置\t其他程序显示为\t本程序读作\t编码\n";
    for (const RepairFinding& f : findings)
        text += std::string(f.checked ? "是" : "否") + "\t" + displayName(f.path) + "\t" + f.where() + "\t" + f.shownToday() +
                "\t" + f.readAs() + "\t" + charsetName(f.reading) + "\n";
    TemporaryFile out(path);
    return out.error() == 0 && out.write(text) == 0 && out.finish(true) == 0 && out.replaceTarget() == 0;
}

}  // namespace quilvane
