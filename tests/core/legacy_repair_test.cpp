// Repairing an old collection: GBK tags written by Mutagen and by the program, garbage
// stored in Unicode, ID3v1-only files and GBK names. After the repair Mutagen reads the
// right Chinese; what was not to be repaired keeps its bytes; renames are undone exactly.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

#include "rename/rename_record.h"
#include "platform/codepage.h"
#include "platform/paths.h"
#include "support/folder_snapshot.h"
#include "support/id3_builder.h"
#include "support/python_runner.h"
#include "support/temp_folder.h"
#include "tageditor/repair_apply.h"
#include "tageditor/repair_scan.h"
#include "tags/id3v2_frames.h"
#include "tags/tag_block.h"

namespace quilvane {
namespace {

using test::audio;
using test::fingerprint;
using test::runPython;
using test::TempFolder;

std::string hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) out += {digits[c >> 4], digits[c & 15]};
    return out;
}

std::string gbk(const std::string& utf8) { return encodeLegacy(utf8, LegacyCharset::Gbk).value(); }

// Old programs' tags: texts given as bytes, written with encoding 0 (bytes through Latin-1
// unchanged), or already "repaired" into Unicode by reading those bytes as Latin-1.
const char* kWriteWithMutagen = R"PY(
import sys
from mutagen.id3 import ID3, TIT2, TPE1, TALB, TPE2, COMM, USLT
path, version, encoding = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
title, artist, album, albumartist, lyrics = [bytes.fromhex(a).decode('latin-1') for a in sys.argv[4:9]]
tag = ID3()
tag.add(TIT2(encoding=encoding, text=title))
tag.add(TPE1(encoding=encoding, text=artist))
tag.add(TALB(encoding=encoding, text=album))
if albumartist: tag.add(TPE2(encoding=encoding, text=albumartist))
if lyrics: tag.add(USLT(encoding=encoding, lang='chi', desc='', text=lyrics))
tag.add(COMM(encoding=0, lang='eng', desc='iTunNORM', text=' 0000021A 00000220'))
tag.save(path, v2_version=version)
)PY";

const char* kReadWithMutagen = R"PY(
import sys
from mutagen.id3 import ID3
tag = ID3(sys.argv[1], translate=False)
def put(key, text): print(key + '=' + text.encode('utf-8').hex())
put('version', str(tag.version[1]))
for key in ['TIT2', 'TPE1', 'TALB', 'TPE2', 'TYER', 'TCON']:
    if key in tag: put(key, ' / '.join(str(t) for t in tag[key].text))
for c in tag.getall('COMM'): put('COMM:' + c.desc, c.text[0])
for u in tag.getall('USLT'): put('USLT', u.text)
)PY";

std::string mutagenFile(TempFolder& dir, const std::string& name, int version, int encoding,
                        const std::vector<std::string>& texts) {
    const std::string path = dir.write(name, audio(4000, 7));
    std::vector<std::string> args{path, std::to_string(version), std::to_string(encoding)};
    for (const std::string& t : texts) args.push_back(hex(t));
    const auto run = runPython(kWriteWithMutagen, args);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    return path;
}

std::string rawFrame(const std::string& file, const std::string& id) {
    const int major = file[3];
    for (const auto& f : id3v2::parseFrameArea(std::string_view(file).substr(10), major).frames)
        if (f.id == id) return id3v2::renderFrame(f, major);
    return {};
}

std::vector<RepairFinding> scan(const std::string& folder, bool tree = true) {
    std::vector<RepairFinding> all;
    std::atomic<bool> stop{false};
    scanForRepair(folder, tree, [&](std::vector<RepairFinding>&& f) { all.insert(all.end(), f.begin(), f.end()); }, {}, stop);
    return all;
}

const RepairFinding* findingAt(const std::vector<RepairFinding>& all, const std::string& path, const std::string& where) {
    const auto found = std::find_if(all.begin(), all.end(), [&](const RepairFinding& f) { return f.path == path && f.where() == where; });
    return found == all.end() ? nullptr : &*found;
}

class LegacyRepair : public ::testing::Test {
protected:
    TempFolder dir;
};

TEST_F(LegacyRepair, EveryKindIsFoundRepairedAndReadRightByMutagen) {
    // 1. GBK in encoding-0 frames (a 2.3 tag), with an album artist and GBK lyrics.
    const std::string legacy = mutagenFile(dir, "legacy.mp3", 3, 0,
                                           {gbk("后来"), gbk("刘若英"), gbk("我等你"), gbk("刘若英"), gbk("后来 终于在眼泪中明白")});
    // 2. Garbage stored in Unicode (2.4): the GBK bytes once read as Latin-1.
    const std::string garbled = mutagenFile(dir, "garbled.mp3", 4, 1, {gbk("红豆"), gbk("王菲"), gbk("唱游"), "", ""});
    // 3. Latin-1 that is right as it is, and Unicode that is right as it is.
    const std::string western = mutagenFile(dir, "western.mp3", 3, 0, {"J\xF3ga", "Bj\xF6rk", "Homogenic", "", ""});
    const std::string unicode = mutagenFile(dir, "unicode.mp3", 3, 1, {"J\xF3ga", "Bj\xF6rk", "Homogenic", "", ""});
    // 4. Only an ID3v1 tag, in GBK, written by the program's own writer.
    const TagBlock v1 = buildTagBlock(gbk("童话"), gbk("光良"), gbk("童话"), "2005", "ok", 17);
    const std::string onlyV1 = dir.write("v1only.mp3", audio(3000, 2) + std::string(v1.bytes.data(), 128));
    // 5. Names in GBK: a file and a folder with a file in it.
    const std::string gbkName = dir.write(gbk("中文") + ".mp3", audio(500, 1));
    const std::string gbkFolder = dir.makeFolder(gbk("老歌"));
    const std::string inside = dir.write(gbk("老歌") + "/a.mp3", audio(500, 3));

    const std::string westernBefore = TempFolder::readFile(western);
    const std::string unicodeBefore = TempFolder::readFile(unicode);
    std::vector<RepairFinding> all = scan(dir.path());

    // What is listed, and how it reads.
    const RepairFinding* title = findingAt(all, legacy, "ID3v2 TIT2（标题）");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->kind, RepairKind::LegacyFrame);
    EXPECT_EQ(title->shownToday(), "ºóÀ´") << "what Latin-1 readers show";
    EXPECT_EQ(title->readAs(), "后来");
    EXPECT_EQ(title->detected.charset, LegacyCharset::Gbk);
    ASSERT_NE(findingAt(all, legacy, "ID3v2 TPE2（专辑歌手）"), nullptr) << "frames the editor does not manage too";
    ASSERT_NE(findingAt(all, legacy, "ID3v2 USLT（歌词）"), nullptr);
    EXPECT_EQ(findingAt(all, legacy, "ID3v2 USLT（歌词）")->readAs(), "后来 终于在眼泪中明白");
    const RepairFinding* artist = findingAt(all, garbled, "ID3v2 TPE1（歌手）");
    ASSERT_NE(artist, nullptr);
    EXPECT_EQ(artist->kind, RepairKind::StoredMojibake);
    EXPECT_EQ(artist->shownToday(), "Íõ·Æ");
    EXPECT_EQ(artist->readAs(), "王菲");
    for (const RepairFinding& f : all) {
        EXPECT_NE(f.path, western) << f.where();
        EXPECT_NE(f.path, unicode) << f.where();
    }
    const RepairFinding* v1Title = findingAt(all, onlyV1, "ID3v1 标题 → ID3v2 TIT2");
    ASSERT_NE(v1Title, nullptr);
    EXPECT_EQ(v1Title->readAs(), "童话");
    const RepairFinding* name = findingAt(all, gbkName, "文件名");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->shownToday(), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD.mp3");
    EXPECT_EQ(name->readAs(), "中文.mp3");
    ASSERT_NE(findingAt(all, gbkFolder, "文件夹名"), nullptr);

    // Uncheck the album artist: that frame keeps its bytes.
    const std::string albumArtistBefore = rawFrame(TempFolder::readFile(legacy), "TPE2");
    for (RepairFinding& f : all)
        if (f.path == legacy && f.frameId == "TPE2") f.checked = false;

    UndoList log;
    const auto namesBefore = test::snapshot(dir.path());
    const RepairReport report = applyRepairs(all, log);
    EXPECT_TRUE(report.failures.empty()) << report.text();
    EXPECT_EQ(report.left, 1);
    EXPECT_EQ(report.filesRepaired, 5);

    const auto legacyRead = runPython(kReadWithMutagen, {legacy});
    ASSERT_EQ(legacyRead.exitCode, 0) << legacyRead.output;
    EXPECT_EQ(legacyRead.values.at("TIT2"), "后来");
    EXPECT_EQ(legacyRead.values.at("TPE1"), "刘若英");
    EXPECT_EQ(legacyRead.values.at("TALB"), "我等你");
    EXPECT_EQ(legacyRead.values.at("USLT"), "后来 终于在眼泪中明白");
    EXPECT_EQ(legacyRead.values.at("COMM:iTunNORM"), " 0000021A 00000220");
    const std::string legacyAfter = TempFolder::readFile(legacy);
    EXPECT_EQ(rawFrame(legacyAfter, "TPE2"), albumArtistBefore) << "an unchecked row keeps its bytes";
    EXPECT_EQ(legacyAfter[3], 3) << "the tag keeps its version";

    const auto garbledRead = runPython(kReadWithMutagen, {garbled});
    ASSERT_EQ(garbledRead.exitCode, 0) << garbledRead.output;
    EXPECT_EQ(garbledRead.values.at("version"), "4");
    EXPECT_EQ(garbledRead.values.at("TIT2"), "红豆");
    EXPECT_EQ(garbledRead.values.at("TPE1"), "王菲");

    const auto v1Read = runPython(kReadWithMutagen, {onlyV1});
    ASSERT_EQ(v1Read.exitCode, 0) << v1Read.output;
    EXPECT_EQ(v1Read.values.at("version"), "3");
    EXPECT_EQ(v1Read.values.at("TIT2"), "童话");
    EXPECT_EQ(v1Read.values.at("TPE1"), "光良");
    EXPECT_EQ(v1Read.values.at("TYER"), "2005") << "the new tag carries every ID3v1 text";
    EXPECT_EQ(v1Read.values.at("TCON"), "(17)Rock");
    const std::string v1After = TempFolder::readFile(onlyV1);
    EXPECT_EQ(v1After.substr(v1After.size() - 128), std::string(v1.bytes.data(), 128)) << "ID3v1 stays GBK";

    EXPECT_EQ(TempFolder::readFile(western), westernBefore);
    EXPECT_EQ(TempFolder::readFile(unicode), unicodeBefore);
    EXPECT_TRUE(dir.exists("中文.mp3"));
    EXPECT_TRUE(dir.exists("老歌/a.mp3"));

    // A second scan finds only what was left unchecked.
    const auto again = scan(dir.path());
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again[0].frameId, "TPE2");

    // 撤销更名 gives every name back, byte for byte.
    ASSERT_EQ(filesRenamedIn(log.records()), 2u);
    undoRenames(log, {});
    auto namesAfter = test::snapshot(dir.path());
    EXPECT_EQ(namesAfter.size(), namesBefore.size());
    for (const auto& [path, print] : namesBefore) EXPECT_TRUE(namesAfter.contains(path)) << path;
}

// Another reading chosen for a row: a Big5 tag the detector reads as GBK.
TEST_F(LegacyRepair, AnotherReadingChosenForARowIsWhatIsWritten) {
    const std::string big5 = encodeLegacy("周杰倫", LegacyCharset::Big5).value();
    const std::string path = mutagenFile(dir, "jay.mp3", 3, 0, {big5, big5, "Fantasy", "", ""});
    auto all = scan(dir.path());
    ASSERT_EQ(all.size(), 2u);
    for (RepairFinding& f : all) {
        EXPECT_NE(f.readAs(), "周杰倫");
        f.reading = LegacyCharset::Big5;
        EXPECT_EQ(f.readAs(), "周杰倫");
    }
    all[1].checked = false;
    UndoList log;
    applyRepairs(all, log);
    const auto read = runPython(kReadWithMutagen, {path});
    EXPECT_EQ(read.values.at("TIT2"), "周杰倫");
    EXPECT_EQ(read.values.at("TPE1"), decodeLegacy(big5, LegacyCharset::Latin1)) << "unchecked: as before";
}

// A file changed between the scan and the repair is named and left alone; a name whose
// UTF-8 form is taken is not replaced.
TEST_F(LegacyRepair, ChangesSinceTheScanAndTakenNamesAreNamedNotOverwritten) {
    const std::string path = mutagenFile(dir, "a.mp3", 3, 0, {gbk("后来"), gbk("刘若英"), "x", "", ""});
    dir.write(gbk("中文") + ".mp3", "legacy name");
    auto all = scan(dir.path());
    dir.write("中文.mp3", "already there");
    mutagenFile(dir, "a.mp3", 3, 0, {"new", "tag", "x", "", ""});
    const std::string changed = TempFolder::readFile(path);
    UndoList log;
    const RepairReport report = applyRepairs(all, log);
    ASSERT_EQ(report.failures.size(), 2u) << report.text();
    EXPECT_EQ(TempFolder::readFile(path), changed);
    EXPECT_EQ(dir.read("中文.mp3"), "already there");
    EXPECT_EQ(dir.read(gbk("中文") + ".mp3"), "legacy name");
    EXPECT_TRUE(report.text().starts_with("修复完成：0个文件（文件夹）已修复，共0处；0处未选中，保持原样；2处未能修复：\n")) << report.text();
}

// A file with only an ID3v1 tag gets a new ID3v2 tag of the texts that tag holds and
// nothing else (no genre for 255, no empty year); an ID3v1 text changed since the scan
// is not written over; nested legacy folders are renamed from the inside out.
TEST_F(LegacyRepair, ANewTagHoldsOnlyTheId3v1TextsAndNothingIsWrittenOverOrLost) {
    const auto onlyV1 = [](const std::string& title) {
        const TagBlock b = buildTagBlock(gbk(title), "", "", "", "", 255);
        return audio(3000, 2) + std::string(b.bytes.data(), 128);
    };
    const std::string bare = dir.write("bare.mp3", onlyV1("童话"));
    const std::string later = dir.write("later.mp3", onlyV1("后来"));
    dir.write(gbk("老歌") + "/" + gbk("新歌") + "/x.txt", "x");
    auto all = scan(dir.path());
    dir.write("later.mp3", onlyV1("十年"));  // another program's edit after the scan
    UndoList log;
    const RepairReport report = applyRepairs(all, log);
    ASSERT_EQ(report.failures.size(), 1u) << report.text();
    EXPECT_NE(report.failures[0].find("later.mp3"), std::string::npos);
    EXPECT_EQ(dir.read("later.mp3"), onlyV1("十年"));
    EXPECT_EQ(dir.read("老歌/新歌/x.txt"), "x") << "the inner folder renamed before the outer one";

    const auto read = runPython(kReadWithMutagen, {bare});
    ASSERT_EQ(read.exitCode, 0) << read.output;
    EXPECT_EQ(read.values.at("TIT2"), "童话");
    EXPECT_EQ(read.values.count("TCON"), 0u) << "genre 255 is no genre";
    EXPECT_EQ(read.values.count("TYER"), 0u);
}

}  // namespace
}  // namespace quilvane
