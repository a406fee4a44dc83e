// Tag writes against files that changed behind the program's back, and the guards of
// the tag codecs that a careless change would lose: each test here fails when its
// guard is taken out.
#include <functional>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "editing/tag_fields.h"
#include "platform/codepage.h"
#include "platform/file_error.h"
#include "support/file_size_limit.h"
#include "support/id3_builder.h"
#include "support/temp_folder.h"
#include "tags/id3v1.h"
#include "tags/id3v2.h"
#include "tags/tag_block.h"
#include "tags/tag_reader.h"

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

namespace quilvane {
namespace {

std::string v1Of(const std::string& title, const std::string& artist, const std::string& album = "") {
    const TagBlock b = buildTagBlock(title, artist, album, "1999", "note", 17);
    return std::string(b.bytes.data(), 128);
}

// Another program's edit of the same size, another file put under the name (the same
// bytes, or a link to a file elsewhere), and a reading that failed: nothing is written.
TEST(TagWriteRecheck, OnlyTheFileAsReadIsWrittenAndNothingAfterAFailedReading) {
    TempFolder dir;
    const auto withTitle = [](const std::string& title) {
        return tag(3, {frame(3, "TIT2", str("\0", 1) + title)}, 300) + audio(3000, 2) + v1Of(title, "Tom");
    };
    const std::string path = dir.write("a.mp3", withTitle("Old"));
    TID3V1 v1;
    TID3V2 v2;
    readBothTags(path, v1, v2);
    // Only the ID3v2 title, in place: same size, same header, same ID3v1 block.
    const std::string v2Edit = tag(3, {frame(3, "TIT2", str("\0New", 4))}, 300) + audio(3000, 2) + v1Of("Old", "Tom");
    dir.write("a.mp3", v2Edit);
    v2.Frames[TID3V2::Artist] = "Mine";
    EXPECT_EQ(failureOf([&] { v2.SaveTag(); }), FileError::Kind::ChangedSinceLoad);
    EXPECT_EQ(dir.read("a.mp3"), v2Edit);
    readBothTags(path, v1, v2);
    dir.write("a.mp3", withTitle("New"));  // both tags, same sizes, same first bytes
    v2.Frames[TID3V2::Artist] = "Mine";
    EXPECT_EQ(failureOf([&] { v2.SaveTag(); }), FileError::Kind::ChangedSinceLoad);
    v1.SetArtist("Mine");
    EXPECT_EQ(failureOf([&] { v1.SaveTag(); }), FileError::Kind::ChangedSinceLoad);
    EXPECT_EQ(dir.read("a.mp3"), withTitle("New"));

    // A byte-identical copy renamed over it, then a link to a file elsewhere.
    TempFolder outside;
    const std::string elsewhere = outside.write("x.mp3", withTitle("New"));
    readBothTags(path, v1, v2);
    dir.write("copy.mp3", withTitle("New"));
    ASSERT_EQ(::rename((dir / "copy.mp3").c_str(), path.c_str()), 0);
    v2.Frames[TID3V2::Artist] = "Mine";
    EXPECT_EQ(failureOf([&] { v2.SaveTag(); }), FileError::Kind::ChangedSinceLoad);
    readBothTags(path, v1, v2);
    ASSERT_EQ(::unlink(path.c_str()), 0);
    ASSERT_EQ(::symlink(elsewhere.c_str(), path.c_str()), 0);
    v2.Frames[TID3V2::Artist] = "Mine";
    EXPECT_EQ(failureOf([&] { v2.SaveTag(); }), FileError::Kind::ChangedSinceLoad);
    v1.SetArtist("Mine");
    EXPECT_EQ(failureOf([&] { v1.RemoveTag(); }), FileError::Kind::ChangedSinceLoad);
    EXPECT_EQ(outside.read("x.mp3"), withTitle("New"));
    // A name turned into a link, even one to the very file it named (a hard link of it).
    const std::string own = dir.write("own.mp3", withTitle("New"));
    ASSERT_EQ(::link(own.c_str(), (outside / "hard.mp3").c_str()), 0);
    readBothTags(own, v1, v2);
    ASSERT_EQ(::unlink(own.c_str()), 0);
    ASSERT_EQ(::symlink((outside / "hard.mp3").c_str(), own.c_str()), 0);
    v2.Frames[TID3V2::Artist] = "Mine";
    EXPECT_EQ(failureOf([&] { v2.SaveTag(); }), FileError::Kind::ChangedSinceLoad);

    // After a reading that failed (a pipe named like a song), the file read before is
    // not written with what the objects held.
    const std::string good = dir.write("good.mp3", withTitle("Good"));
    ASSERT_EQ(::mkfifo((dir / "pipe.mp3").c_str(), 0644), 0);
    readBothTags(good, v1, v2);
    EXPECT_THROW(readBothTags(dir / "pipe.mp3", v1, v2), FileError);
    v2.Frames[TID3V2::Title] = "Cleared";
    EXPECT_EQ(failureOf([&] { v2.SaveTag(); }), FileError::Kind::NotLoaded);
    v1.SetTitle("Cleared");
    EXPECT_EQ(failureOf([&] { v1.SaveTag(); }), FileError::Kind::NotLoaded);
    EXPECT_EQ(dir.read("good.mp3"), withTitle("Good"));
}

// A changed ID3v1 field reads back as typed and every other field as before, in every
// reader: the tag's own code page where the text fits it, else Latin-1 or GBK, never
// GB18030's four-byte characters or U+FFFD.
TEST(Id3v1Encoding, EveryFieldReadsBackAsWrittenOrAsBefore) {
    TempFolder dir;
    const std::string sound = audio(500, 3);
    const std::string latin = dir.write("latin.mp3", sound + v1Of("Kickstart", "Bj\xF6rk", "M\xF6tley Cr\xFC" "e"));
    TID3V1 v1;
    v1.LoadTag(latin);
    ASSERT_EQ(v1.Artist, "Björk");
    v1.SetTitle("后来");
    v1.SaveTag();
    TagBlock written = readTagBlock(latin);
    EXPECT_EQ(written.field(tagfield::Title), utf8ToLegacy("后来", LegacyCharset::Gbk));
    EXPECT_EQ(written.field(tagfield::Artist), "Bj\xF6rk") << "untouched bytes stay";
    v1.LoadTag(latin);
    EXPECT_EQ(v1.Title, "后来");
    EXPECT_EQ(v1.Artist, "Björk");
    EXPECT_EQ(v1.Album, "Mötley Crüe");

    const std::string gbk = dir.write("gbk.mp3", sound + v1Of(utf8ToLegacy("十年", LegacyCharset::Gbk),
                                                             utf8ToLegacy("陈奕迅", LegacyCharset::Gbk)));
    v1.LoadTag(gbk);
    v1.SetAlbum("Amélie");
    v1.SetComment("Björk");
    v1.SaveTag();
    written = readTagBlock(gbk);
    EXPECT_EQ(written.field(tagfield::Album), "Am\xA8\xA6lie") << "é has a place in GBK: the tag's own code page";
    EXPECT_EQ(written.field(tagfield::Comment), "Bj\xF6rk") << "ö has none (only a four-byte one): Latin-1";
    v1.LoadTag(gbk);
    EXPECT_EQ(v1.Title, "十年");
    EXPECT_EQ(v1.Artist, "陈奕迅");
    EXPECT_EQ(v1.Album, "Amélie");
    EXPECT_EQ(v1.Comment, "Björk");

    // What no ID3v1 reader can show is refused, and the file keeps its bytes.
    const std::string before = dir.read("gbk.mp3");
    v1.SetArtist("Dvořák");
    EXPECT_EQ(failureOf([&] { v1.SaveTag(); }), FileError::Kind::NotInLegacyCodePage);
    v1.LoadTag(gbk);
    v1.SetTitle("Bj\xEF\xBF\xBDrk");
    EXPECT_EQ(failureOf([&] { v1.SaveTag(); }), FileError::Kind::UnreadableCharacter);
    EXPECT_EQ(failureOf([&] { withFieldLine(readTagBlock(gbk), TagFieldKind::Title, "Bj\xEF\xBF\xBDrk"); }),
              FileError::Kind::UnreadableCharacter);
    EXPECT_EQ(dir.read("gbk.mp3"), before);

    // "镕" (E9 46) reads as Chinese only beside other Chinese: with "Björk" in place of
    // those, it would read "éF". Refused, not written.
    const std::string rare = dir.write("rare.mp3", sound + v1Of("\xE9\x46", utf8ToLegacy("陈奕迅", LegacyCharset::Gbk)));
    v1.LoadTag(rare);
    ASSERT_EQ(v1.Title, "镕");
    v1.SetArtist("Björk");
    EXPECT_EQ(failureOf([&] { v1.SaveTag(); }), FileError::Kind::LegacyCodePagesClash);
}

}  // namespace
}  // namespace quilvane
