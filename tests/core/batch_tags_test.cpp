// The tag editor's batch over real folders: the eight modes, which files take part, the
// fields read afresh for each file, tags not written, and failures that say what
// happened to the file in hand. Mutagen checks that what the batch does not set
// (cover art, lyrics, user texts, the audio) keeps its bytes.
#include <atomic>
#include <gtest/gtest.h>

#include "support/folder_snapshot.h"
#include "support/id3_builder.h"
#include "support/python_runner.h"
#include "support/temp_folder.h"
#include "tageditor/batch_tags.h"
#include "tags/tag_block.h"

namespace quilvane {
namespace {

using test::audio;
using test::frame;
using test::TempFolder;

std::string str(const char* bytes, std::size_t n) { return std::string(bytes, n); }

// An MP3 file with both tags, and frames the batch never sets.
std::string taggedFile(int major, unsigned seed) {
    std::vector<std::string> frames{
        frame(major, "TIT2", str("\0Old title", 10)), frame(major, "TPE1", str("\0Old artist", 11)),
        frame(major, "APIC", str("\0image/jpeg\0\x03\0", 14) + audio(5000, seed + 1)),
        frame(major, "USLT", str("\0eng\0Lyrics line one\nline two", 30)),
        frame(major, "TXXX", str("\0REPLAYGAIN\0-6.5 dB", 19))};
    const TagBlock v1 = buildTagBlock("V1 title", "V1 artist", "V1 album", "1999", "v1 note", 17);
    return test::tag(major, frames, 600) + audio(8000, seed) + std::string(v1.bytes.data(), 128);
}

struct BatchRun {
    BatchResult result;
    std::vector<std::string> progress;
};

BatchRun runBatch(const std::string& folder, BatchMode mode, const TagFieldValues& fields, bool subfolders = false,
             bool fromNames = false) {
    BatchSettings settings{folder, mode, fromNames, fromNames, subfolders};
    const std::atomic<bool> stop{false};
    BatchRun run;
    BatchTagWalk walk(settings, stop, [&] { return fields; },
                      [&](int done, const std::string& path) { run.progress.push_back(std::to_string(done) + " " + path); });
    run.result = walk.run();
    return run;
}

TagFieldValues someFields() {
    TagFieldValues f;
    f.v1 = {"T1", "A1", "Al1", "2001", "C1"};
    f.v1Genre = 13;
    f.v2[TID3V2::Title] = "新标题";
    f.v2[TID3V2::Artist] = "新歌手";
    f.v2[TID3V2::Album] = "Album";
    f.v2[TID3V2::Year] = "2002";
    f.v2[TID3V2::Track] = "3";
    f.v2Genre = 17;
    return f;
}

TEST(BatchTags, TheEightModesOnThreeMp3FilesAndAText) {
    for (int mode = 0; mode < 8; ++mode) {
        SCOPED_TRACE(mode);
        TempFolder dir;
        dir.write("Music/a.mp3", taggedFile(3, 1));
        dir.write("Music/b.Mp3", taggedFile(4, 2));
        dir.write("Music/c.MP3", taggedFile(3, 3));
        dir.write("Music/notes.txt", "not music");
        dir.write("Music/c.mp3.bak", taggedFile(3, 4));
        dir.write("Music/.hidden.mp3", taggedFile(3, 5));
        const auto untouched = test::snapshot(dir.path());
        const BatchRun run = runBatch(dir / "Music", static_cast<BatchMode>(mode), someFields());
        EXPECT_EQ(run.result.failure, "");
        EXPECT_EQ(run.result.done, 3);
        EXPECT_EQ(batchEndText(run.result), "3个MP3文件已完成指定ID3修改");
        const auto after = test::snapshot(dir.path());
        for (const char* same : {"Music/notes.txt", "Music/c.mp3.bak", "Music/.hidden.mp3"})
            EXPECT_EQ(after.at(same), untouched.at(same)) << same;

        TID3V1 v1;
        v1.LoadTag(dir / "Music/b.Mp3");
        TID3V2 v2;
        v2.LoadTag(dir / "Music/b.Mp3");
        switch (static_cast<BatchMode>(mode)) {
        case BatchMode::ChangeV1: EXPECT_EQ(v1.Title, "T1"); EXPECT_EQ(v2.Frames[TID3V2::Title], "Old title"); break;
        case BatchMode::ChangeV2: EXPECT_EQ(v1.Title, "V1 title"); EXPECT_EQ(v2.Frames[TID3V2::Title], "新标题"); break;
        case BatchMode::ChangeBoth: EXPECT_EQ(v1.Genre, 13); EXPECT_EQ(v2.GetGenre(), 17); EXPECT_EQ(v2.Frames[TID3V2::Track], "3"); break;
        case BatchMode::V1ToV2: EXPECT_EQ(v2.Frames[TID3V2::Title], "V1 title"); EXPECT_EQ(v2.GetGenre(), 17); break;
        case BatchMode::V2ToV1: EXPECT_EQ(v1.Title, "Old title"); EXPECT_EQ(v1.Artist, "Old artist"); break;
        case BatchMode::RemoveV1: EXPECT_FALSE(v1.HasTag); EXPECT_TRUE(v2.HasTag); break;
        case BatchMode::RemoveV2: EXPECT_TRUE(v1.HasTag); EXPECT_FALSE(v2.HasTag); break;
        case BatchMode::RemoveBoth: EXPECT_FALSE(v1.HasTag); EXPECT_FALSE(v2.HasTag); break;
        }
        if (mode >= 5) {
            EXPECT_EQ(dir.read("Music/b.Mp3").find("Old title") == std::string::npos, mode != 5);
        }
    }
}

TEST(BatchTags, NamesFoldersAndTheOrderOfTheWalk) {
    EXPECT_EQ(NameWithoutExt("01 Song.Name.mp3"), "01 Song.Name");
    EXPECT_EQ(NameWithoutExt("noext"), "noext");
    EXPECT_EQ(NameWithoutExt(""), "");
    EXPECT_EQ(LastFolderName("/music/Singer"), "Singer");
    EXPECT_EQ(LastFolderName("/music/Singer/"), "Singer");
    EXPECT_EQ(LastFolderName("/"), "") << "the root gives no artist";

    TempFolder dir;
    dir.write("刘若英/01 Song.Name.mp3", taggedFile(3, 1));
    dir.write("刘若英/CD1/a.mp3", taggedFile(3, 2));
    dir.write("刘若英/z.mp3", taggedFile(3, 3));
    dir.write("刘若英/.skip/x.mp3", taggedFile(3, 4));
    const BatchRun flat = runBatch(dir / "刘若英", BatchMode::ChangeV2, someFields(), false, true);
    EXPECT_EQ(flat.result.done, 2) << "sub-folders are left alone";
    const BatchRun deep = runBatch(dir / "刘若英", BatchMode::ChangeV2, someFields(), true, true);
    ASSERT_EQ(deep.progress.size(), 3u);
    EXPECT_EQ(deep.progress[0], "1 " + dir / "刘若英/01 Song.Name.mp3");
    EXPECT_EQ(deep.progress[1], "2 " + dir / "刘若英/CD1/a.mp3") << "a sub-folder where the list meets it";
    EXPECT_EQ(deep.progress[2], "3 " + dir / "刘若英/z.mp3");
    TID3V2 v2;
    v2.LoadTag(dir / "刘若英/01 Song.Name.mp3");
    EXPECT_EQ(v2.Frames[TID3V2::Title], "01 Song.Name");
    EXPECT_EQ(v2.Frames[TID3V2::Artist], "刘若英");
    v2.LoadTag(dir / "刘若英/CD1/a.mp3");
    EXPECT_EQ(v2.Frames[TID3V2::Artist], "CD1");
}

// The fields are read for each file: an edit made during the run applies from the next.
TEST(BatchTags, AFieldEditedDuringARunAppliesToTheFilesAfter) {
    TempFolder dir;
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) dir.write(name, taggedFile(3, 1));
    TagFieldValues fields = someFields();
    const std::atomic<bool> stop{false};
    int reads = 0;
    BatchTagWalk walk({dir.path(), BatchMode::ChangeV1}, stop, [&] {
        if (++reads == 2) fields.v1[0] = "Edited";
        return fields;
    }, {});
    EXPECT_EQ(walk.run().done, 3);
    TID3V1 v1;
    v1.LoadTag(dir / "a.mp3");
    EXPECT_EQ(v1.Title, "T1");
    v1.LoadTag(dir / "b.mp3");
    EXPECT_EQ(v1.Title, "Edited");
}

TEST(BatchTags, ATagNotWrittenIsNotCountedAndAFailureSaysWhatWasWritten) {
    TempFolder dir;
    dir.write("a.mp3", taggedFile(3, 1));
    dir.write("b.mp3", taggedFile(3, 2));
    TagFieldValues fields = someFields();
    fields.v2[TID3V2::Comment] = std::string(1900, 'c');  // the twelve frames need more than 2000 bytes
    const BatchRun run = runBatch(dir.path(), BatchMode::ChangeV2, fields);
    EXPECT_EQ(run.result.done, 0);
    ASSERT_EQ(run.result.notWritten.size(), 2u);
    EXPECT_EQ(batchEndText(run.result), "0个MP3文件已完成指定ID3修改，2个文件未能写入");

    // A file that cannot be written ends the run and is named; "全部修改" says which tag
    // got written when the second one fails.
    TempFolder bad;
    const std::string beyond = test::tag(3, {frame(3, "TIT2", str("\0x", 2))}) ;
    std::string lying = beyond;
    lying[8] = 0x7F;  // a header that claims more than the file has
    bad.write("a.mp3", lying + audio(100) + std::string(buildTagBlock("t", "", "", "", "", 1).bytes.data(), 128));
    bad.write("b.mp3", taggedFile(3, 2));
    const BatchRun failed = runBatch(bad.path(), BatchMode::ChangeBoth, someFields());
    EXPECT_EQ(failed.result.done, 0);
    EXPECT_NE(failed.result.failure.find("ID3v1标签已写入，ID3v2标签未能写入"), std::string::npos) << failed.result.failure;
    EXPECT_NE(failed.result.failure.find(bad / "a.mp3"), std::string::npos);
    TID3V1 v1;
    v1.LoadTag(bad / "b.mp3");
    EXPECT_EQ(v1.Title, "V1 title") << "the run ended at the failure";
}

const char* kFramesByMutagen = R"PY(
import sys, hashlib
from mutagen.id3 import ID3
tag = ID3(sys.argv[1], load_v1=False)
for key in ['APIC', 'USLT', 'TXXX']:
    for f in tag.getall(key):
        data = f.data if key == 'APIC' else str(f.text if key == 'USLT' else f.text[0]).encode('utf-8')
        print(key + '=' + hashlib.sha1(data).hexdigest().encode().hex())
)PY";

// What the batch does not set keeps its bytes in the eyes of another reader, in 2.3 and
// 2.4, in every mode that writes a tag.
TEST(BatchTags, MutagenFindsTheFramesAndAudioTheBatchDoesNotSet) {
    for (int major : {3, 4}) {
        for (int mode = 0; mode <= 4; ++mode) {
            SCOPED_TRACE(testing::Message() << "v2." << major << " mode " << mode);
            TempFolder dir;
            const std::string original = taggedFile(major, 7);
            dir.write("a.mp3", original);
            const auto before = test::runPython(kFramesByMutagen, {dir / "a.mp3"});
            ASSERT_EQ(before.exitCode, 0) << before.output;
            ASSERT_EQ(before.values.size(), 3u) << before.output;
            TID3V2 v2;
            v2.LoadTag(dir / "a.mp3");
            const auto kept = v2.keptFrames();
            const std::string sound = original.substr(static_cast<std::size_t>(v2.TagSize), 8000);

            ASSERT_EQ(runBatch(dir.path(), static_cast<BatchMode>(mode), someFields()).result.done, 1);
            const auto after = test::runPython(kFramesByMutagen, {dir / "a.mp3"});
            EXPECT_EQ(after.values, before.values);
            TID3V2 again;
            again.LoadTag(dir / "a.mp3");
            ASSERT_EQ(again.keptFrames().size(), kept.size());
            for (std::size_t i = 0; i < kept.size(); ++i) EXPECT_EQ(again.keptFrames()[i].body, kept[i].body);
            EXPECT_EQ(test::fingerprint(dir.read("a.mp3").substr(static_cast<std::size_t>(again.TagSize), 8000)),
                      test::fingerprint(sound));
        }
    }
}

}  // namespace
}  // namespace quilvane

namespace quilvane {
namespace {

// A refused tag does not end the counting, and 停止 inside a folder leaves the files
// after the one in hand as they were.
TEST(BatchTags, ARefusedTagAndAStopInsideAFolderLeaveTheRestAsTheCountSays) {
    TempFolder dir;
    std::string longName = "b";
    for (int i = 0; i < 80; ++i) longName += "长";
    for (const std::string& name : {std::string("a"), longName, std::string("c"), std::string("d")})
        dir.write(name + ".mp3", taggedFile(3, 1));
    TagFieldValues fields = someFields();
    fields.v2[TID3V2::Comment] = std::string(1700, 'c');  // room for a short title only
    const BatchRun run = runBatch(dir.path(), BatchMode::ChangeV2, fields, false, true);
    ASSERT_EQ(run.result.notWritten, std::vector<std::string>{dir / (longName + ".mp3")});
    EXPECT_EQ(run.result.done, 3) << "the files after the refused one are written and counted";
    EXPECT_EQ(run.progress.back(), "3 " + dir / "d.mp3");

    // A title an ID3v1 tag cannot hold (ř has no place in GBK or Latin-1) is not written
    // as junk, and does not end the run.
    TempFolder names;
    for (const char* name : {"Dvořák.mp3", "Smetana.mp3"}) names.write(name, taggedFile(3, 2));
    const std::string dvorak = names.read("Dvořák.mp3");
    const BatchRun refused = runBatch(names.path(), BatchMode::ChangeV1, someFields(), false, true);
    EXPECT_EQ(refused.result.v1Refused, std::vector<std::string>{names / "Dvořák.mp3"});
    EXPECT_EQ(batchEndText(refused.result), "1个MP3文件已完成指定ID3修改，1个文件未能写入");
    EXPECT_EQ(names.read("Dvořák.mp3"), dvorak);

    for (const char* name : {"a.mp3", "c.mp3", "d.mp3"}) dir.write(name, taggedFile(3, 1));
    const auto before = test::snapshot(dir.path());
    std::atomic<bool> stop{false};
    BatchTagWalk walk({dir.path(), BatchMode::ChangeV1}, stop, [] { return someFields(); },
                      [&](int done, const std::string&) { stop = done == 1; });
    const BatchResult stopped = walk.run();
    EXPECT_TRUE(stopped.stopped);
    EXPECT_EQ(batchEndText(stopped), "已停止 ！ 完成1");
    const auto after = test::snapshot(dir.path());
    EXPECT_NE(after.at("a.mp3"), before.at("a.mp3"));
    EXPECT_EQ(after.at("c.mp3"), before.at("c.mp3"));
    EXPECT_EQ(after.at("d.mp3"), before.at("d.mp3"));
}

}  // namespace
}  // namespace quilvane
