// TID3V2 on real files: the layout it writes, what it reads of each version, what it
// keeps, and what it refuses to do to a file.
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/file_error.h"
#include "support/file_size_limit.h"
#include "support/id3_builder.h"
#include "support/temp_folder.h"
#include "tags/id3v2.h"

namespace quilvane {
namespace {

using test::audio;
using test::frame;
using test::runWithFileSizeLimit;
using test::tag;
using test::TempFolder;

std::string str(const char* bytes, std::size_t n) { return std::string(bytes, n); }

TEST(TID3V2Layout, AFreshTagOfEmptyFramesIs226Bytes) {
    TempFolder dir;
    const std::string sound = audio(3000);
    const std::string path = dir.write("a.mp3", sound);
    TID3V2 v2;
    v2.LoadTag(path);
    EXPECT_FALSE(v2.HasTag);
    ASSERT_TRUE(v2.SaveTag());

    std::string expected = str("ID3\x03\x00\x00\x00\x00\x01\x58", 10);
    for (const char* id : {"TRCK", "TENC", "WXXX", "TCOP", "TOPE", "TCOM", "TCON"})
        expected += id + str(std::string_view(id) == "TENC" ? "\0\0\0\x01\x40\0\0" : "\0\0\0\x01\0\0\0", 7);
    expected += "COMM" + str("\0\0\0\x05\0\0\0", 7) + "eng" + str("\0", 1);
    for (const char* id : {"TYER", "TALB", "TPE1", "TIT2"}) expected += id + str("\0\0\0\x01\0\0\0", 7);
    expected += std::string(80, '\0');
    ASSERT_EQ(expected.size(), 226u);
    EXPECT_EQ(dir.read("a.mp3"), expected + sound);
    EXPECT_EQ(v2.TagSize, 226);
}

TEST(TID3V2Layout, TextsAreAsciiOrUtf16WithBom) {
    TempFolder dir;
    const std::string path = dir.write("a.mp3", audio(500));
    TID3V2 v2;
    v2.LoadTag(path);
    v2.Frames[TID3V2::Title] = "Rain";
    v2.Frames[TID3V2::Artist] = "刘若英";
    v2.Frames[TID3V2::Comment] = "好";
    ASSERT_TRUE(v2.SaveTag());
    const std::string file = dir.read("a.mp3");
    EXPECT_NE(file.find("TIT2" + str("\0\0\0\x05\0\0\0", 7) + "Rain"), std::string::npos);
    EXPECT_NE(file.find("TPE1" + str("\0\0\0\x09\0\0\x01\xFF\xFE\x18\x52\xE5\x82\xF1\x82", 15)), std::string::npos);
    EXPECT_NE(file.find("COMM" + str("\0\0\0\x0C\0\0\x01", 7) + "eng" + str("\xFF\xFE\0\0\xFF\xFE\x7D\x59", 8)),
              std::string::npos);
}

TEST(TID3V2Sizes, ATagThatFitsKeepsItsSizeAndTheAudioStays) {
    TempFolder dir;
    const std::string sound = audio(20000);
    const std::string original = tag(3, {frame(3, "TIT2", str("\0", 1) + std::string(480, 'r')), frame(3, "TPE1", str("\0Tom", 4))}, 3000);
    const std::string path = dir.write("a.mp3", original + sound);
    TID3V2 v2;
    v2.LoadTag(path);
    EXPECT_EQ(v2.TagSize, 3000);
    EXPECT_EQ(v2.Frames[TID3V2::Artist], "Tom");
    ASSERT_TRUE(v2.SaveTag());
    const std::string after = dir.read("a.mp3");
    EXPECT_EQ(after.size(), original.size() + sound.size());
    EXPECT_EQ(after.substr(3000), sound);

    v2.LoadTag(path);
    EXPECT_EQ(v2.Frames[TID3V2::Title], std::string(480, 'r'));
    ASSERT_TRUE(v2.SaveTag());
    EXPECT_EQ(dir.read("a.mp3"), after) << "saving the same values again changes no byte";
}

TEST(TID3V2Sizes, TwelveFramesOverTwoThousandBytesAreNotWritten) {
    TempFolder dir;
    const std::string sound = audio(800);
    const std::string path = dir.write("a.mp3", sound);
    TID3V2 v2;
    v2.LoadTag(path);
    v2.Frames[TID3V2::Title] = std::string(1000, 't');
    v2.Frames[TID3V2::Album] = std::string(775, 'a');
    EXPECT_FALSE(v2.SaveTag()) << "226 + 1775 = 2001 bytes";
    EXPECT_EQ(dir.read("a.mp3"), sound);
    EXPECT_FALSE(v2.HasTag);

    v2.Frames[TID3V2::Album] = std::string(774, 'a');
    EXPECT_TRUE(v2.SaveTag());
    EXPECT_EQ(v2.TagSize, 2000);
    EXPECT_EQ(dir.read("a.mp3").size(), 2000u + sound.size());
}

TEST(TID3V2Reading, Version22FramesFillTheSlotsAndTheVersionIsKept) {
    TempFolder dir;
    const std::string sound = audio(1000);
    const std::string picture = str("\0JPG\x03\0", 6) + audio(300, 7);
    const std::string path = dir.write("a.mp3", tag(2, {frame(2, "TT2", str("\0Rain", 5)), frame(2, "TP1", str("\0Tom", 4)),
                                                        frame(2, "COM", str("\0eng\0Hello", 10)), frame(2, "PIC", picture),
                                                        frame(2, "TYE", str("\x01\xFF\xFE" "1\0" "9\0", 7))}) + sound);
    TID3V2 v2;
    v2.LoadTag(path);
    EXPECT_EQ(v2.version(), 2);
    EXPECT_EQ(v2.Frames[TID3V2::Title], "Rain");
    EXPECT_EQ(v2.Frames[TID3V2::Artist], "Tom");
    EXPECT_EQ(v2.Frames[TID3V2::Comment], "Hello");
    EXPECT_EQ(v2.Frames[TID3V2::Year], "19");
    v2.Frames[TID3V2::Title] = "Snow and more snow";
    ASSERT_TRUE(v2.SaveTag());

    TID3V2 again;
    again.LoadTag(path);
    EXPECT_EQ(again.version(), 2);
    EXPECT_EQ(again.Frames[TID3V2::Title], "Snow and more snow");
    EXPECT_EQ(again.Frames[TID3V2::Comment], "Hello");
    ASSERT_EQ(again.keptFrames().size(), 1u);
    EXPECT_EQ(again.keptFrames()[0].id, "PIC");
    EXPECT_EQ(again.keptFrames()[0].body, picture);
    EXPECT_EQ(dir.read("a.mp3").substr(static_cast<std::size_t>(again.TagSize)), sound);
}

TEST(TID3V2Reading, Version24SizesFlagsExtendedHeaderAndFooter) {
    TempFolder dir;
    const std::string sound = audio(1000);
    const std::string longTitle(300, 'L');  // a synchsafe size differs from a plain one
    const std::string album = str("\0\0\0\x05", 4) + str("\0A\xFF\0\xE0" "B", 6);  // length + unsynchronised
    std::string body = str("\0\0\0\x06\x01\0", 6);  // extended header of 6 bytes
    body += frame(4, "TIT2", "\x03" + longTitle) + frame(4, "TDRC", str("\x03" "2004", 5)) +
            frame(4, "TALB", album, 0, 0x03) + frame(4, "TPE1", str("\x02\0T\0o\0m", 7));
    std::string tagBytes = "ID3" + str("\x04\0\x50", 3) + test::synchsafe(static_cast<unsigned>(body.size())) + body;
    tagBytes += "3DI" + str("\x04\0\x50", 3) + test::synchsafe(static_cast<unsigned>(body.size()));
    const std::string path = dir.write("a.mp3", tagBytes + sound);

    TID3V2 v2;
    v2.LoadTag(path);
    EXPECT_EQ(v2.version(), 4);
    EXPECT_EQ(v2.TagSize, static_cast<std::int64_t>(tagBytes.size()));
    EXPECT_EQ(v2.Frames[TID3V2::Title], longTitle);
    EXPECT_EQ(v2.Frames[TID3V2::Year], "2004");
    EXPECT_EQ(v2.Frames[TID3V2::Album], "AÿàB");
    EXPECT_EQ(v2.Frames[TID3V2::Artist], "Tom");

    ASSERT_TRUE(v2.SaveTag());
    TID3V2 again;
    again.LoadTag(path);
    EXPECT_EQ(test::fingerprint(dir.read("a.mp3").substr(static_cast<std::size_t>(again.TagSize))),
              test::fingerprint(sound));
    EXPECT_EQ(again.Frames[TID3V2::Album], "AÿàB");
    EXPECT_EQ(again.Frames[TID3V2::Year], "2004");
    EXPECT_NE(dir.read("a.mp3").find("TDRC"), std::string::npos) << "2.4 keeps its year frame";
}

TEST(TID3V2Reading, EncodingsCommentDescriptionsAndBrokenFlags) {
    TempFolder dir;
    const std::string sound = audio(600);
    // Flags for an extended header and unsynchronisation, with neither present.
    const std::string path = dir.write(
        "a.mp3", tag(3, {frame(3, "TIT2", str("\x01R\0a\0i\0n\0", 9)),  // UTF-16 without BOM
                         frame(3, "TALB", "\x03后来"), frame(3, "TPE1", str("\0\xC1\xF5\xC8\xF4\xD3\xA2", 7)),
                         frame(3, "COMM", str("\0engx\0hello", 11)), frame(3, "COMM", str("\0deuy\0hallo", 11)),
                         frame(3, "TCON", str("\0(17)Rock", 9))},
                     400, 0xC0) +
            sound);
    TID3V2 v2;
    v2.LoadTag(path);
    EXPECT_EQ(v2.Frames[TID3V2::Title], "Rain");
    EXPECT_EQ(v2.Frames[TID3V2::Album], "后来");
    EXPECT_EQ(v2.Frames[TID3V2::Artist], "刘若英") << "encoding 0 reads the legacy code page";
    EXPECT_EQ(v2.Frames[TID3V2::Comment], "") << "comments with a description belong to programs";
    EXPECT_EQ(v2.GetGenre(), 17);

    v2.Frames[TID3V2::Comment] = "changed";
    ASSERT_TRUE(v2.SaveTag());
    TID3V2 again;
    again.LoadTag(path);
    EXPECT_EQ(again.Frames[TID3V2::Comment], "changed");
    ASSERT_EQ(again.keptFrames().size(), 2u) << "the described comments are kept";
    EXPECT_EQ(again.keptFrames()[0].body, str("\0engx\0hello", 11));
    EXPECT_EQ(again.keptFrames()[1].body, str("\0deuy\0hallo", 11));
    EXPECT_NE(dir.read("a.mp3").find("eng" + str("\0", 1) + "changed"), std::string::npos)
        << "a plain comment of its own";
}

TEST(TID3V2Genre, NumbersInParenthesesAndNamesAsPeopleWriteThem) {
    TID3V2 v2;
    const auto genreOf = [&v2](const std::string& text) {
        v2.Frames[TID3V2::Genre] = text;
        return v2.GetGenre();
    };
    EXPECT_EQ(genreOf("(17)Rock"), 17);
    EXPECT_EQ(genreOf("Rock"), 17);
    EXPECT_EQ(genreOf("pop"), 13);
    EXPECT_EQ(genreOf("Rock; Pop"), 17);
    EXPECT_EQ(genreOf(std::string("Jazz\0Pop", 8)), 8) << "2.4 keeps several genres apart by NUL";
    EXPECT_EQ(genreOf("流行"), 12) << "a genre of the user's own is another genre";
    EXPECT_EQ(genreOf(""), 255) << "no genre is not Other";
    EXPECT_EQ(genreOf("(+-3)"), 53) << "one sign at most";
    EXPECT_EQ(genreOf("(RX)"), 53);
    EXPECT_EQ(genreOf("()"), 12);
    EXPECT_EQ(genreOf("( )"), 12);
    EXPECT_EQ(genreOf("17"), 17) << "2.4 writes bare numbers";
    EXPECT_EQ(genreOf("(300)"), 300);
    v2.SetGenre(200);
    EXPECT_EQ(v2.Frames[TID3V2::Genre], "(12)Other");
    v2.SetGenre(140);
    EXPECT_EQ(v2.Frames[TID3V2::Genre], "(140)Contemporary Ch?");
    v2.Frames[TID3V2::Genre] = "rock";
    v2.SetGenre(17);
    EXPECT_EQ(v2.Frames[TID3V2::Genre], "rock") << "a genre that reads as the number keeps its text";
    v2.SetGenre(255);
    EXPECT_EQ(v2.Frames[TID3V2::Genre], "") << "255 is no genre";
}

// Cover art, lyrics and a user text frame around the managed frames, in 2.3 and 2.4.
class Preservation : public ::testing::TestWithParam<int> {};

TEST_P(Preservation, KeptFramesAndAudioSurviveAGrowingRewrite) {
    const int major = GetParam();
    TempFolder dir;
    const std::string sound = audio(50000, 3);
    const std::string apic = str("\0image/jpeg\0\x03\0", 14) + audio(100 * 1024, 9);
    const std::string uslt = str("\0engLyrics\0", 11) + "la la la";
    const std::string txxx = str("\0MusicBrainz\0", 13) + "abc-123";
    const std::string path = dir.write("a.mp3", tag(major, {frame(major, "APIC", apic), frame(major, "TIT2", str("\0Old", 4)),
                                                            frame(major, "USLT", uslt), frame(major, "TXXX", txxx)}) +
                                                    sound);
    TID3V2 v2;
    v2.LoadTag(path);
    v2.Frames[TID3V2::Title] = "A much longer new title";
    ASSERT_TRUE(v2.SaveTag());

    TID3V2 again;
    again.LoadTag(path);
    EXPECT_EQ(again.version(), major);
    EXPECT_EQ(again.Frames[TID3V2::Title], "A much longer new title");
    ASSERT_EQ(again.keptFrames().size(), 3u);
    EXPECT_EQ(test::fingerprint(again.keptFrames()[0].body), test::fingerprint(apic));
    EXPECT_EQ(again.keptFrames()[1].body, uslt);
    EXPECT_EQ(again.keptFrames()[2].body, txxx);
    const std::string file = dir.read("a.mp3");
    EXPECT_EQ(test::fingerprint(file.substr(static_cast<std::size_t>(again.TagSize))), test::fingerprint(sound));

    again.RemoveTag();
    EXPECT_EQ(test::fingerprint(dir.read("a.mp3")), test::fingerprint(sound)) << "a tag over 4000 bytes goes whole";
}
INSTANTIATE_TEST_SUITE_P(Versions, Preservation, ::testing::Values(3, 4));

TEST(TID3V2Safety, ATagClaimingMoreThanTheFileIsNeverRewritten) {
    TempFolder dir;
    std::string bytes = tag(3, {frame(3, "TIT2", str("\0Rain", 5))}, 5000);
    bytes.resize(1000);
    const std::string path = dir.write("a.mp3", bytes);
    TID3V2 v2;
    v2.LoadTag(path);
    EXPECT_TRUE(v2.HasTag);
    EXPECT_EQ(v2.Frames[TID3V2::Title], "Rain") << "read as far as it goes";
    v2.Frames[TID3V2::Title] = "Snow";
    try {
        v2.SaveTag();
        ADD_FAILURE() << "a tag running past the end was written";
    } catch (const FileError& e) {
        EXPECT_EQ(e.kind(), FileError::Kind::TagBeyondEnd);
    }
    EXPECT_THROW(v2.RemoveTag(), FileError);
    EXPECT_EQ(dir.read("a.mp3"), bytes);
}

TEST(TID3V2Safety, RewritesKeepPermissionsAndLinks) {
    TempFolder dir;
    const std::string sound = audio(900);
    const std::string real = dir.write("real.mp3", sound);
    ::chmod(real.c_str(), 0640);
    ASSERT_EQ(::symlink("real.mp3", (dir / "link.mp3").c_str()), 0);
    TID3V2 v2;
    v2.LoadTag(dir / "link.mp3");
    v2.Frames[TID3V2::Title] = "Rain";
    ASSERT_TRUE(v2.SaveTag());
    struct stat st {};
    ASSERT_EQ(::lstat((dir / "link.mp3").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link still points at the file";
    ASSERT_EQ(::stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(dir.read("real.mp3").substr(226 + 4), sound);
    v2.RemoveTag();
    EXPECT_EQ(dir.read("real.mp3"), sound);
    v2.RemoveTag();
    EXPECT_EQ(dir.read("real.mp3"), sound) << "removed once";
}

TEST(TID3V2Safety, AWriteThatFailsPartWayLeavesTheOriginalAndNoTemporaryFile) {
    TempFolder dir;
    const std::string original = tag(3, {frame(3, "TIT2", str("\0Old", 4)), frame(3, "APIC", audio(20000, 5))}) + audio(200000, 6);
    const std::string path = dir.write("a.mp3", original);
    // Fails while the new tag is written, and later while the audio is copied.
    for (rlim_t limit : {rlim_t{100}, rlim_t{150000}}) {
        SCOPED_TRACE(limit);
        const int outcome = runWithFileSizeLimit(limit, [&] {
            TID3V2 v2;
            v2.LoadTag(path);
            v2.Frames[TID3V2::Title] = std::string(500, 'N');
            v2.SaveTag();
        });
        EXPECT_EQ(outcome, 3) << "the failure reaches the caller";
        EXPECT_EQ(test::fingerprint(dir.read("a.mp3")), test::fingerprint(original));
        EXPECT_EQ(dir.names(), std::vector<std::string>{"a.mp3"});
    }
    EXPECT_EQ(runWithFileSizeLimit(1000, [&] {
                  TID3V2 v2;
                  v2.LoadTag(path);
                  v2.RemoveTag();
              }),
              3);
    EXPECT_EQ(test::fingerprint(dir.read("a.mp3")), test::fingerprint(original));
    EXPECT_EQ(dir.names(), std::vector<std::string>{"a.mp3"});
}

}  // namespace
}  // namespace quilvane
