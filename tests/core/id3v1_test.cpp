// The ID3v1 block and TID3V1 on real files: layout, overwrite and append, cuts,
// the setters' rules, and GBK and Latin-1 texts.
#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "platform/file_error.h"
#include "support/id3_builder.h"
#include "support/temp_folder.h"
#include "tags/genres.h"
#include "tags/id3v1.h"
#include "tags/tag_block.h"

namespace quilvane {
namespace {

using test::TempFolder;

std::string block(const std::string& title, const std::string& artist, const std::string& album,
                  const std::string& year, const std::string& comment, unsigned char genre) {
    std::string b = "TAG";
    for (auto [text, width] : {std::pair{title, 30}, {artist, 30}, {album, 30}, {year, 4}, {comment, 30}}) {
        std::string field = text;
        field.resize(static_cast<std::size_t>(width), '\0');
        b += field;
    }
    return b + static_cast<char>(genre);
}

// Every name at its number: tags written by other programs and by earlier versions of
// this one store numbers, so one name out of place renames a genre for good.
TEST(Genres, TableAndNames) {
    const char* const expected[148] = {
        "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip-Hop", "Jazz", "Metal",
        "New Age", "Oldies", "Other", "Pop", "R&B", "Rap", "Reggae", "Rock", "Techno", "Industrial",
        "Alternative", "Ska", "Death Metal", "Pranks", "Soundtrack", "Euro-Techno", "Ambient", "Trip-Hop", "Vocal", "Jazz+Funk",
        "Fusion", "Trance", "Classical", "Instrumental", "Acid", "House", "Game", "Sound Clip", "Gospel", "Noise",
        "AlternRock", "Bass", "Soul", "Punk", "Space", "Meditative", "Instrumental Pop", "Instrumental Rock", "Ethnic", "Gothic",
        "Darkwave", "Techno-Industrial", "Electronic", "Pop-Folk", "Eurodance", "Dream", "Southern Rock", "Comedy", "Cult", "Gangsta",
        "Top 40", "Christian Rap", "Pop/Funk", "Jungle", "Native American", "Cabaret", "New Wave", "Psychedelic", "Rave", "Showtunes",
        "Trailer", "Lo-Fi", "Tribal", "Acid Punk", "Acid Jazz", "Polka", "Retro", "Musical", "Rock & Roll", "Hard Rock",
        "Folk", "Folk/Rock", "National Folk", "Swing", "Fast Fusion", "Bebob", "Latin", "Revival", "Celtic", "Bluegrass",
        "Avantgarde", "Gothic Rock", "Progressive Rock", "Psychedelic Rock", "Symphonic Rock", "Slow Rock", "Big Band", "Chorus", "Easy Listening", "Acoustic",
        "Humour", "Speech", "Chanson", "Opera", "Chamber Music", "Sonata", "Symphony", "Booty Bass", "Primus", "Porn Groove",
        "Satire", "Slow Jam", "Club", "Tango", "Samba", "Folklore", "Ballad", "Power Ballad", "Rhythmic Soul", "Freestyle",
        "Duet", "Punk Rock", "Drum Solo", "A capella", "Euro-House", "Dance Hall", "Goa", "Drum & Bass", "Club-House", "Hardcore",
        "Terror", "Indie", "BritPop", "Negerpunk", "Polsk Punk", "Beat", "Christian Gangs", "Heavy Metal", "Black Metal", "Crossover",
        "Contemporary Ch?", "Cristian Rock", "Merengue", "Salsa", "Thrash Metal", "Anime", "JPop", "Synthpop"};
    ASSERT_EQ(Genres.size(), 148u);
    for (int n = 0; n < 148; ++n) EXPECT_EQ(GenreName(static_cast<std::uint8_t>(n)), expected[n]) << n;
    EXPECT_EQ(GenreName(148), "");
    EXPECT_EQ(GenreName(255), "");
}

TEST(TagBlockFile, IsWrittenOverwrittenAndCut) {
    TempFolder dir;
    const std::string audio = test::audio(5000);
    const std::string path = dir.write("song.mp3", audio);

    TagBlock tag = buildTagBlock("Rain", "Tom", "Sky", "1999", "Nice", 17);
    EXPECT_EQ(std::string(tag.bytes.data(), 128), block("Rain", "Tom", "Sky", "1999", "Nice", 17));
    writeTagBlock(path, tag);
    EXPECT_EQ(dir.read("song.mp3"), audio + block("Rain", "Tom", "Sky", "1999", "Nice", 17));

    tag.setField(tagfield::Title, "Snow");
    writeTagBlock(path, tag);
    EXPECT_EQ(dir.read("song.mp3").size(), audio.size() + 128) << "an existing tag is overwritten";
    EXPECT_EQ(readTagBlock(path).field(tagfield::Title), "Snow");

    // A field written shorter gets one zero byte; what follows it keeps its old bytes.
    TagBlock padded = buildTagBlock(std::string(30, 'x'), "", "", "", "", 0);
    padded.setField(tagfield::Title, "ab");
    EXPECT_EQ(std::string(padded.bytes.data() + 3, 30), "ab" + std::string(1, '\0') + std::string(27, 'x'));
    EXPECT_EQ(padded.field(tagfield::Title), "ab");

    TID3V1 v1;
    v1.LoadTag(path);
    ASSERT_TRUE(v1.HasTag);
    v1.RemoveTag();
    v1.RemoveTag();
    EXPECT_EQ(dir.read("song.mp3"), audio) << "cut once, however often asked";

    const std::string bare = dir.write("tiny.mp3", "abc");
    EXPECT_FALSE(readTagBlock(bare).isTag());
    const std::string only = dir.write("only.mp3", block("T", "", "", "", "", 1));
    v1.LoadTag(only);
    EXPECT_TRUE(v1.HasTag);
    v1.RemoveTag();
    EXPECT_EQ(dir.read("only.mp3"), "");
    EXPECT_THROW(readTagBlock(dir / "missing.mp3"), FileError);
}

TEST(TID3V1Tag, ReadsFieldsUntrimmedAndWritesThemBack) {
    TempFolder dir;
    const std::string thirty(30, 'T');
    std::string comment11 = "Track comment";  // ID3v1.1: a zero, then the track number
    comment11.resize(28, '\0');
    comment11 += std::string("\0\x07", 2);
    const std::string path = dir.write("a.mp3", test::audio(1000) + block(thirty, "Tom   ", "Sky", "1999", comment11, 255));

    TID3V1 v1;
    v1.LoadTag(path);
    EXPECT_EQ(v1.Title, thirty);
    EXPECT_EQ(v1.Artist, "Tom   ") << "trailing blanks are part of the text";
    EXPECT_EQ(v1.Comment, "Track comment");
    EXPECT_EQ(v1.Genre, 255);
    EXPECT_FALSE(v1.Modified);

    v1.SetGenre(255);
    EXPECT_FALSE(v1.Modified) << "the same genre changes nothing";
    v1.SetTitle(thirty + "X");
    EXPECT_EQ(v1.Title, thirty);
    EXPECT_TRUE(v1.Modified);
    v1.SetGenre(200);
    EXPECT_EQ(v1.Genre, kOtherGenre);
    v1.SetYear("20041");
    EXPECT_EQ(v1.Year, "2004");
    v1.SaveTag();
    const TagBlock written = readTagBlock(path);
    EXPECT_EQ(written.bytes[125], '\0');
    EXPECT_EQ(written.bytes[126], '\x07') << "the ID3v1.1 track number stays";
    EXPECT_EQ(written.field(tagfield::Year), "2004");

    // Clear empties the texts and brings back the default genre, and leaves the file's
    // state alone.
    v1.LoadTag(path);
    ASSERT_TRUE(v1.HasTag);
    v1.SetTitle("Changed");
    v1.Clear();
    EXPECT_EQ(v1.Title, "");
    EXPECT_EQ(v1.Year, "");
    EXPECT_EQ(v1.Genre, kDefaultGenre);
    EXPECT_TRUE(v1.HasTag);
    EXPECT_TRUE(v1.Modified);
    EXPECT_EQ(v1.FileName, path);
}

TEST(TID3V1Tag, KeepsChineseAndLatin1TextsWholeWithinTheirBytes) {
    TempFolder dir;
    const std::string path = dir.write("b.mp3", test::audio(700));
    TID3V1 v1;
    v1.LoadTag(path);
    EXPECT_FALSE(v1.HasTag);
    v1.SetTitle("后来");
    v1.SetArtist("刘若英刘若英刘若英刘若英刘若英刘若英");  // 36 bytes in GBK
    v1.SetAlbum("Café");
    v1.SaveTag();
    EXPECT_EQ(dir.read("b.mp3").size(), 700u + 128u) << "a file without a tag grows by 128 bytes";

    const TagBlock written = readTagBlock(path);
    EXPECT_EQ(written.field(tagfield::Title), "\xBA\xF3\xC0\xB4");
    EXPECT_EQ(written.field(tagfield::Artist).size(), 30u) << "15 whole characters";
    EXPECT_EQ(written.field(tagfield::Album), "Caf\xE9") << "Latin-1 text stays Latin-1";

    TID3V1 again;
    again.LoadTag(path);
    EXPECT_EQ(again.Title, "后来");
    EXPECT_EQ(again.Artist, "刘若英刘若英刘若英刘若英刘若英");
    EXPECT_EQ(again.Album, "Café");
}

}  // namespace
}  // namespace quilvane
