// Tags of old collections through a read, an edit of one field and a save: Latin-1 stays
// Latin-1, GBK reads as Chinese, every frame and field the user did not touch keeps its
// bytes, and the edited one reads right in this program and in Mutagen (run by Debian's
// python3 as its own process).
#include <gtest/gtest.h>

#include "support/id3_builder.h"
#include "support/python_runner.h"
#include "support/temp_folder.h"
#include "tags/id3v1.h"
#include "tags/id3v2.h"
#include "tags/tag_block.h"

namespace quilvane {
namespace {

using test::audio;
using test::frame;
using test::runPython;
using test::tag;
using test::TempFolder;

std::string str(const char* bytes, std::size_t n) { return std::string(bytes, n); }

// Writes a tag whose texts are given as bytes, the way old programs wrote them: encoding
// 0 with whatever code page they had ("gbk" bytes go through Latin-1 unchanged).
const char* kWriteLegacyWithMutagen = R"PY(
import sys
from mutagen.id3 import ID3, TIT2, TPE1, TALB, TYER, TDRC, COMM
path, version, title, artist, album = sys.argv[1], int(sys.argv[2]), *[bytes.fromhex(a).decode('latin-1') for a in sys.argv[3:6]]
tag = ID3()
tag.add(TIT2(encoding=0, text=title))
tag.add(TPE1(encoding=0, text=artist))
tag.add(TALB(encoding=0, text=album))
tag.add((TYER if version == 3 else TDRC)(encoding=0, text='1997'))
tag.add(COMM(encoding=0, lang='eng', desc='iTunNORM', text=' 0000021A 00000220'))
tag.save(path, v2_version=version)
)PY";

// Reads back what every Mutagen-based player shows: the texts as Unicode, and the legacy
// frames' bytes as Mutagen's Latin-1 gives them.
const char* kReadWithMutagen = R"PY(
import sys
from mutagen.id3 import ID3
tag = ID3(sys.argv[1], translate=False)
def put(key, text): print(key + '=' + text.encode('utf-8').hex())
for key in ['TIT2', 'TPE1', 'TALB', 'TYER', 'TDRC']:
    if key in tag:
        put(key, ' / '.join(str(t) for t in tag[key].text))
        put(key + '.encoding', str(int(tag[key].encoding)))
for c in tag.getall('COMM'): put('COMM:' + c.desc, c.text[0])
)PY";

std::string hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) out += {digits[c >> 4], digits[c & 15]};
    return out;
}

// The raw frame of the given id in the file's tag.
std::string rawFrame(const std::string& file, const std::string& id) {
    const int major = file[3];
    const auto area = id3v2::parseFrameArea(std::string_view(file).substr(10), major);
    for (const auto& f : area.frames)
        if (f.id == id) return id3v2::renderFrame(f, major);
    return {};
}

TEST(LegacyTags, Latin1AndGbkFromMutagenReadRightAndOnlyTheEditedFrameChanges) {
    const std::string gbkTitle = "\xBA\xF3\xC0\xB4";            // 后来
    const std::string gbkArtist = "\xC1\xF5\xC8\xF4\xD3\xA2";  // 刘若英
    struct Case {
        int version;
        std::string title, artist, album;  // bytes
        std::string shownTitle, shownArtist, shownAlbum;
    };
    const Case cases[] = {
        {3, "J\xF3ga", "Bj\xF6rk", "M\xF6tley Cr\xFC" "e", "Jóga", "Björk", "Mötley Crüe"},
        {4, "J\xF3ga", "Bj\xF6rk", "M\xF6tley Cr\xFC" "e", "Jóga", "Björk", "Mötley Crüe"},
        {3, gbkTitle, gbkArtist, "Plain", "后来", "刘若英", "Plain"},
        {4, gbkTitle, gbkArtist, "Plain", "后来", "刘若英", "Plain"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "v2." << c.version << " " << c.shownArtist);
        TempFolder dir;
        const std::string sound = audio(5000, 3);
        const std::string path = dir.write("a.mp3", sound);
        ASSERT_EQ(runPython(kWriteLegacyWithMutagen, {path, std::to_string(c.version), hex(c.title), hex(c.artist), hex(c.album)}).exitCode, 0);
        const std::string before = dir.read("a.mp3");

        TID3V2 v2;
        v2.LoadTag(path);
        EXPECT_EQ(v2.Frames[TID3V2::Title], c.shownTitle);
        EXPECT_EQ(v2.Frames[TID3V2::Artist], c.shownArtist);
        EXPECT_EQ(v2.Frames[TID3V2::Album], c.shownAlbum);
        EXPECT_EQ(v2.Frames[TID3V2::Comment], "") << "iTunes' normalisation data is no comment";

        // Saving without a change writes nothing.
        ASSERT_TRUE(v2.SaveTag());
        EXPECT_EQ(test::fingerprint(dir.read("a.mp3")), test::fingerprint(before));

        // Only the year changes: the other frames keep their bytes.
        v2.Frames[TID3V2::Year] = "2001";
        ASSERT_TRUE(v2.SaveTag());
        const std::string after = dir.read("a.mp3");
        for (const char* id : {"TIT2", "TPE1", "TALB", "COMM"}) EXPECT_EQ(rawFrame(after, id), rawFrame(before, id)) << id;
        TID3V2 again;
        again.LoadTag(path);
        EXPECT_EQ(again.Frames[TID3V2::Artist], c.shownArtist);
        EXPECT_EQ(again.Frames[TID3V2::Year], "2001");
        EXPECT_EQ(test::fingerprint(after.substr(static_cast<std::size_t>(again.TagSize))), test::fingerprint(sound));

        const auto read = runPython(kReadWithMutagen, {path});
        ASSERT_EQ(read.exitCode, 0) << read.output;
        EXPECT_EQ(read.values.at(c.version == 3 ? "TYER" : "TDRC"), "2001");
        EXPECT_EQ(read.values.at("COMM:iTunNORM"), " 0000021A 00000220");
        // A Latin-1 tag stays Latin-1, so Western players show it as before.
        if (c.shownArtist == "Björk") {
            EXPECT_EQ(read.values.at("TPE1"), "Björk");
        }
        EXPECT_EQ(read.values.at("TPE1.encoding"), "0");
    }
}

TEST(LegacyTags, EditedTextsReadTheSameEverywhere) {
    TempFolder dir;
    const std::string sound = audio(3000, 4);
    // Two artist frames, an iTunes comment, and UTF-8 that is not UTF-8.
    const std::string path = dir.write(
        "a.mp3", tag(3, {frame(3, "TPE1", str("\0piman", 6)), frame(3, "TPE1", str("\0jzig", 5)),
                         frame(3, "COMM", str("\0engiTunNORM\0 0000021A", 22)),
                         frame(3, "TIT2", str("\x03Music\x9cof the Sun", 18))}) + sound);
    TID3V2 v2;
    v2.LoadTag(path);
    EXPECT_EQ(v2.Frames[TID3V2::Artist], "piman");
    EXPECT_EQ(v2.Frames[TID3V2::Title], "Musicœof the Sun") << "read as the legacy bytes they are";
    EXPECT_EQ(v2.Frames[TID3V2::Comment], "");

    v2.Frames[TID3V2::Artist] = "刘若英";
    v2.Frames[TID3V2::Comment] = "my own words";
    ASSERT_TRUE(v2.SaveTag());
    const auto read = runPython(kReadWithMutagen, {path});
    ASSERT_EQ(read.exitCode, 0) << read.output;
    EXPECT_EQ(read.values.at("TPE1"), "刘若英") << "the old second artist is gone";
    EXPECT_EQ(read.values.at("COMM:"), "my own words");
    EXPECT_EQ(read.values.at("COMM:iTunNORM"), " 0000021A");
    EXPECT_EQ(rawFrame(dir.read("a.mp3"), "TIT2"), frame(3, "TIT2", str("\x03Music\x9cof the Sun", 18)))
        << "the title the user did not touch keeps its bytes";

    // A text that still holds a character that could not be read is not written.
    v2.Frames[TID3V2::Album] = "bad \xEF\xBF\xBD";
    const std::string before = dir.read("a.mp3");
    EXPECT_THROW(v2.SaveTag(), FileError);
    EXPECT_EQ(test::fingerprint(dir.read("a.mp3")), test::fingerprint(before));
}

// Layouts this program reads but does not write (an extended header, unsynchronisation,
// a footer): a save without changes leaves them as they are.
TEST(LegacyTags, ASaveWithoutChangesWritesNothing) {
    TempFolder dir;
    const std::string sound = audio(1500, 6);
    const std::string extended = str("\0\0\0\x06\0\0\0\0\0\0", 10);
    const std::string original =
        tag(3, {extended, frame(3, "TIT2", str("\0A song   ", 10)), frame(3, "TPE1", str("\0\xFF\0\xE0", 4))}, 300, 0xC0) + sound;
    const std::string path = dir.write("a.mp3", original);
    TID3V2 v2;
    v2.LoadTag(path);
    EXPECT_EQ(v2.Frames[TID3V2::Title], "A song");
    ASSERT_TRUE(v2.SaveTag());
    EXPECT_EQ(test::fingerprint(dir.read("a.mp3")), test::fingerprint(original));
}

TEST(LegacyTags, Id3v1FieldsKeepTheirBytesAndTheTrack) {
    TempFolder dir;
    const std::string sound = audio(2000, 5);
    // A GBK tag: a title with trailing blanks and old bytes after its end, a Café
    // written in GBK, a comment in Latin-1 from another program, track 7.
    std::string block = "TAG";
    for (auto [text, width] : {std::pair<std::string, int>{str("A song   \0old", 13), 30}, {"\xC1\xF5\xC8\xF4\xD3\xA2", 30},
                               {"Caf\xA8\xA6", 30}, {"1999", 4}, {"nice caf\xE9", 28}}) {
        text.resize(static_cast<std::size_t>(width), '\0');
        block += text;
    }
    block += str("\0\x07\x0d", 3);  // the comment's zero byte, track 7, genre 13
    ASSERT_EQ(block.size(), 128u);
    const std::string path = dir.write("a.mp3", sound + block);

    TID3V1 v1;
    v1.LoadTag(path);
    EXPECT_EQ(v1.Title, "A song   ");
    EXPECT_EQ(v1.Artist, "刘若英");
    EXPECT_EQ(v1.Album, "Café");
    EXPECT_EQ(v1.Comment, "nice café") << "a field the tag's reading cannot read is read its own way";
    v1.SaveTag();
    EXPECT_EQ(test::fingerprint(dir.read("a.mp3")), test::fingerprint(sound + block)) << "a save without changes changes nothing";

    v1.SetYear("2001");
    v1.SetComment("shorter");
    v1.SaveTag();
    const TagBlock written = readTagBlock(path);
    EXPECT_EQ(written.field(tagfield::Album), "Caf\xA8\xA6") << "the untouched field keeps its bytes";
    EXPECT_EQ(std::string(written.bytes.data() + 3, 13), str("A song   \0old", 13));
    EXPECT_EQ(written.field(tagfield::Title), "A song   ");
    EXPECT_EQ(written.field(tagfield::Year), "2001");
    EXPECT_EQ(written.field(tagfield::Comment), "shorter");
    EXPECT_EQ(written.bytes[126], '\x07') << "the ID3v1.1 track stays";

    // A Chinese text typed into this GBK tag is written in GBK.
    v1.SetArtist("王菲");
    v1.SaveTag();
    EXPECT_EQ(readTagBlock(path).field(tagfield::Artist), "\xCD\xF5\xB7\xC6");
}

}  // namespace
}  // namespace quilvane

namespace quilvane {
namespace {

// Texts stored as UTF-8 say nothing of how the tag's legacy texts are encoded: beside
// Chinese in UTF-8, a Latin-1 "Ça va" still reads as Latin-1.
TEST(LegacyTags, UnicodeTextsDoNotSwayTheReadingOfLegacyOnes) {
    TempFolder dir;
    const std::string v2 = test::tag(3, {test::frame(3, "TIT2", "\x03" "北京欢迎你，我们都是好朋友"),
                                         test::frame(3, "TALB", "\x03" "奥运歌曲精选集"),
                                         test::frame(3, "TPE1", std::string("\0\xC7" "a va", 6))}, 300);
    const TagBlock v1 = buildTagBlock("北京欢迎你", "\xC7" "a va", "奥运歌曲", "2008", "", 13);
    TID3V2 tag2;
    tag2.LoadTag(dir.write("a.mp3", v2 + test::audio(500) + std::string(v1.bytes.data(), 128)));
    EXPECT_EQ(tag2.Frames[TID3V2::Artist], "Ça va");
    EXPECT_EQ(tag2.Frames[TID3V2::Title], "北京欢迎你，我们都是好朋友");
    TID3V1 tag1;
    tag1.LoadTag(dir / "a.mp3");
    EXPECT_EQ(tag1.Artist, "Ça va");
}

}  // namespace
}  // namespace quilvane
