// Tag writes against files that changed behind the program's back, and the guards of
// the tag codecs that a careless change would lose: each test here fails when its
// guard is taken out.
#include <functional>
#include <gtest/gtest.h>

#include "platform/file_error.h"
#include "support/file_size_limit.h"
#include "support/id3_builder.h"
#include "support/temp_folder.h"
#include "tags/id3v1.h"
#include "tags/id3v2.h"
#include "tags/tag_block.h"

namespace quilvane {
namespace {

using test::audio;
using test::fingerprint;
using test::frame;
using test::tag;
using test::TempFolder;

std::string str(const char* bytes, std::size_t n) { return std::string(bytes, n); }

FileError::Kind failureOf(const std::function<void()>& work) {
    try {
        work();
    } catch (const FileError& e) {
        return e.kind();
    }
    ADD_FAILURE() << "the write went ahead";
    return FileError::Kind::Open;
}

// Another program strips, shrinks or grows the tag, or appends an ID3v1 block, while the
// tag editor holds the file's tag: the old layout no longer says where the audio is.
TEST(TagWriteRecheck, AFileChangedSinceLoadingIsNeitherWrittenNorCut) {
    TempFolder dir;
    const std::string sound = audio(50000, 7);
    const std::string original = tag(3, {frame(3, "TIT2", str("\0Old", 4))}, 3000) + sound;
    const std::map<std::string, std::string> changes{
        {"stripped", sound},
        {"shrunk", tag(3, {frame(3, "TIT2", str("\0Old", 4))}, 200) + sound},
        {"grown", tag(3, {frame(3, "TIT2", str("\0Old", 4))}, 9000) + sound},
        {"ID3v1 appended", original + "TAG" + std::string(125, '\0')},
    };
    for (const auto& [what, changed] : changes) {
        SCOPED_TRACE(what);
        const std::string path = dir.write("a.mp3", original);
        TID3V2 v2;
        v2.LoadTag(path);
        v2.Frames[TID3V2::Title] = "New title";
        dir.write("a.mp3", changed);
        EXPECT_EQ(failureOf([&] { v2.SaveTag(); }), FileError::Kind::ChangedSinceLoad);
        EXPECT_EQ(failureOf([&] { v2.RemoveTag(); }), FileError::Kind::ChangedSinceLoad);
        EXPECT_EQ(fingerprint(dir.read("a.mp3")), fingerprint(changed));
    }
    // The message names the file and says what to do, in the program's language.
    const std::string path = dir.write("b.mp3", original);
    TID3V2 v2;
    v2.LoadTag(path);
    dir.write("b.mp3", sound);
    try {
        v2.SaveTag();
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("已被其他程序改动"), std::string::npos);
    }
    // A file that had no tag and got one meanwhile is not given a second one in front.
    const std::string bare = dir.write("c.mp3", sound);
    v2.LoadTag(bare);
    dir.write("c.mp3", original);
    EXPECT_EQ(failureOf([&] { v2.SaveTag(); }), FileError::Kind::ChangedSinceLoad);
    EXPECT_EQ(fingerprint(dir.read("c.mp3")), fingerprint(original));
}

// One loading, then saves that grow the tag, keep its size, remove it and add it again:
// the object follows its own writes, and the audio is intact after each.
TEST(TagWriteRecheck, RepeatedWritesOfOneLoadingFollowTheirOwnChanges) {
    TempFolder dir;
    const std::string sound = audio(20000, 3);
    const std::string path = dir.write("a.mp3", tag(3, {frame(3, "TIT2", str("\0Old", 4))}, 300) + sound);
    TID3V2 v2;
    v2.LoadTag(path);
    const auto audioIntact = [&] {
        TID3V2 check;
        check.LoadTag(path);
        return fingerprint(dir.read("a.mp3").substr(static_cast<std::size_t>(check.TagSize))) == fingerprint(sound);
    };
    v2.Frames[TID3V2::Title] = std::string(600, 'G');  // grows
    ASSERT_TRUE(v2.SaveTag());
    EXPECT_TRUE(audioIntact());
    v2.Frames[TID3V2::Title] = "short";  // fits in place
    ASSERT_TRUE(v2.SaveTag());
    EXPECT_TRUE(audioIntact());
    v2.RemoveTag();
    EXPECT_EQ(fingerprint(dir.read("a.mp3")), fingerprint(sound));
    v2.Frames[TID3V2::Title] = "again";
    ASSERT_TRUE(v2.SaveTag());
    EXPECT_TRUE(audioIntact());
}

// A 2.4 footer is ten bytes after the tag that begin with "3DI"; the flag alone, which
// some writers set by mistake, must not cost ten bytes of audio.
TEST(TagWriteRecheck, AFooterFlagCountsOnlyWhereTheFooterIs) {
    TempFolder dir;
    const std::string sound = audio(4000, 9);
    const std::string body = frame(4, "TIT2", str("\x03" "Rain", 5));
    const std::string header = "ID3" + str("\x04\0\x10", 3) + test::synchsafe(static_cast<unsigned>(body.size()));
    const std::string footer = "3DI" + str("\x04\0\x10", 3) + test::synchsafe(static_cast<unsigned>(body.size()));

    const std::string flagOnly = dir.write("flag.mp3", header + body + sound);
    TID3V2 v2;
    v2.LoadTag(flagOnly);
    EXPECT_EQ(v2.TagSize, static_cast<std::int64_t>(header.size() + body.size()));
    v2.RemoveTag();
    EXPECT_EQ(fingerprint(dir.read("flag.mp3")), fingerprint(sound));

    const std::string withFooter = dir.write("footer.mp3", header + body + footer + sound);
    v2.LoadTag(withFooter);
    EXPECT_EQ(v2.TagSize, static_cast<std::int64_t>(header.size() + body.size() + footer.size()));
    v2.RemoveTag();
    EXPECT_EQ(fingerprint(dir.read("footer.mp3")), fingerprint(sound));
}

TEST(Id3v1Guards, RemovalAppendAndFullWidthFields) {
    TempFolder dir;
    const std::string sound = audio(1000, 4);
    const std::string block = "TAG" + std::string(124, 'x') + "\x0c";

    // The block vanished after loading: nothing is cut.
    const std::string path = dir.write("a.mp3", sound + block);
    TID3V1 v1;
    v1.LoadTag(path);
    ASSERT_TRUE(v1.HasTag);
    dir.write("a.mp3", sound);
    EXPECT_EQ(failureOf([&] { v1.RemoveTag(); }), FileError::Kind::ChangedSinceLoad);
    EXPECT_EQ(fingerprint(dir.read("a.mp3")), fingerprint(sound));

    // An append that fails part way leaves the file at its old length.
    const std::string limited = dir.write("limited.mp3", sound);
    EXPECT_EQ(test::runWithFileSizeLimit(1050, [&] {
                  TID3V1 tag;
                  tag.LoadTag(limited);
                  tag.SetTitle("Rain");
                  tag.SaveTag();
              }),
              3);
    EXPECT_EQ(fingerprint(dir.read("limited.mp3")), fingerprint(sound));

    // A file that is only a tag is overwritten, not appended to.
    const std::string only = dir.write("only.mp3", block);
    v1.LoadTag(only);
    v1.SetTitle("Snow");
    v1.SaveTag();
    EXPECT_EQ(dir.read("only.mp3").size(), 128u);
    EXPECT_EQ(readTagBlock(only).field(tagfield::Title), "Snow");

    // A comment of all 30 bytes (ID3v1.0) reads whole.
    std::string full = "TAG" + std::string(90, '\0') + "2001" + std::string(30, 'c') + "\x11";
    v1.LoadTag(dir.write("full.mp3", sound + full));
    EXPECT_EQ(v1.Comment, std::string(30, 'c'));
}

// Bytes the program writes into 2.4 tags, and readings of tags other writers make.
TEST(Id3v2Guards, SizesHeadersAndUnsynchronisation) {
    TempFolder dir;
    const std::string sound = audio(2000, 5);

    // A 2.4 frame of 128 bytes or more gets a synchsafe size: 200 is 00 00 01 48.
    const std::string path = dir.write("v24.mp3", tag(4, {frame(4, "TIT2", str("\x03" "x", 2))}) + sound);
    TID3V2 v2;
    v2.LoadTag(path);
    v2.Frames[TID3V2::Album] = std::string(199, 'a');
    ASSERT_TRUE(v2.SaveTag());
    const std::string written = dir.read("v24.mp3");
    const auto at = written.find("TALB");
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(written.substr(at + 4, 4), str("\0\0\x01\x48", 4));

    // Some writers put plain sizes in 2.4 frames: 200 as 00 00 00 C8.
    const std::string plainBody = "\x03" + std::string(199, 'p');
    const std::string plain = "TIT2" + str("\0\0\0\xC8\0\0", 6) + plainBody;
    v2.LoadTag(dir.write("plain.mp3", tag(4, {plain, frame(4, "TPE1", str("\x03" "Tom", 4))}) + sound));
    EXPECT_EQ(v2.Frames[TID3V2::Title], std::string(199, 'p'));
    EXPECT_EQ(v2.Frames[TID3V2::Artist], "Tom");

    // A real 2.3 extended header (size 6, flags, padding size) is skipped, not read as a frame.
    const std::string extended = str("\0\0\0\x06\0\0\0\0\0\0", 10);
    v2.LoadTag(dir.write("ext.mp3", tag(3, {extended, frame(3, "TIT2", str("\0Ext", 4))}, 0, 0x40) + sound));
    EXPECT_EQ(v2.Frames[TID3V2::Title], "Ext");

    // A kept frame of an unsynchronised 2.4 tag is rewritten with its own flag, and
    // reads back the same.
    const std::string privBody = str("owner\0\xFF\0\xE0z", 10);  // unsynchronised 0xFF 0xE0
    const std::string unsync = dir.write("unsync.mp3", tag(4, {frame(4, "PRIV", privBody), frame(4, "TIT2", str("\x03" "U", 2))}, 0, 0x80) + sound);
    v2.LoadTag(unsync);
    v2.Frames[TID3V2::Title] = std::string(300, 'U');
    ASSERT_TRUE(v2.SaveTag());
    TID3V2 again;
    again.LoadTag(unsync);
    ASSERT_EQ(again.keptFrames().size(), 1u);
    EXPECT_EQ(id3v2::frameContent(again.keptFrames()[0], 4, false), str("owner\0\xFF\xE0z", 9));
    EXPECT_EQ(again.Frames[TID3V2::Title], std::string(300, 'U'));
}

TEST(Id3v2Guards, TextsOutsideTheBasicPlaneAndCommentChoice) {
    TempFolder dir;
    const std::string sound = audio(500, 6);
    // U+1D11E (musical G clef) as a UTF-16 surrogate pair, and as 4-byte UTF-8.
    const std::string clef = "\xF0\x9D\x84\x9E";
    const std::string path = dir.write(
        "a.mp3", tag(3, {frame(3, "TIT2", str("\x01\xFF\xFE" "A\0\x34\xD8\x1E\xDD", 9)),
                         frame(3, "COMM", str("\0engiTunNORM\0 0000021A", 22)),
                         frame(3, "COMM", str("\0eng\0plain words", 16))}) +
                     sound);
    TID3V2 v2;
    v2.LoadTag(path);
    EXPECT_EQ(v2.Frames[TID3V2::Title], "A" + clef);
    EXPECT_EQ(v2.Frames[TID3V2::Comment], "plain words") << "the plain comment, not the described one";

    v2.Frames[TID3V2::Title] = clef + "B";
    ASSERT_TRUE(v2.SaveTag());
    TID3V2 again;
    again.LoadTag(path);
    EXPECT_EQ(again.Frames[TID3V2::Title], clef + "B");
    const std::string bytes = dir.read("a.mp3");
    EXPECT_NE(bytes.find(str("\xFF\xFE\x34\xD8\x1E\xDD" "B\0", 8)), std::string::npos) << "written as a surrogate pair";
}

}  // namespace
}  // namespace quilvane
