// Interoperability with an independent tag reader and writer: Mutagen, run as its own
// process. What this program writes, Mutagen reads with the same values; what Mutagen
// writes in 2.3 and 2.4, this program reads.
#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "support/id3_builder.h"
#include "support/python_runner.h"
#include "support/temp_folder.h"
#include "tags/id3v1.h"
#include "tags/id3v2.h"

namespace quilvane {
namespace {

using test::runPython;
using test::TempFolder;

// Prints every frame Mutagen finds as "key=hex(utf-8)"; ID3v1 fields as the raw bytes.
const char* kReadWithMutagen = R"PY(
import sys, hashlib
from mutagen.id3 import ID3
from mutagen.id3._id3v1 import ParseID3v1
def put(key, text):
    if isinstance(text, str): text = text.encode('utf-8')
    print(key + '=' + text.hex())
path = sys.argv[1]
tag = ID3(path, load_v1=False, translate=False)
put('version', '2.%d' % tag.version[1])
for key in ['TIT2', 'TPE1', 'TALB', 'TYER', 'TDRC', 'TRCK', 'TCON', 'TCOM', 'TOPE', 'TCOP', 'TENC']:
    if key in tag: put(key, str(tag[key].text[0]))
for c in tag.getall('COMM'): put('COMM:' + c.desc, c.text[0])
for u in tag.getall('WXXX'): put('WXXX:' + u.desc, u.url)
for p in tag.getall('APIC'): put('APIC', hashlib.sha1(p.data).hexdigest())
for l in tag.getall('USLT'): put('USLT:' + l.desc, l.text)
for x in tag.getall('TXXX'): put('TXXX:' + x.desc, x.text[0])
with open(path, 'rb') as f:
    f.seek(-128, 2)
    block = f.read(128)
if block[:3] == b'TAG':
    for i, name in enumerate(['title', 'artist', 'album']):
        put('v1.' + name, block[3 + 30 * i:33 + 30 * i].split(b'\0')[0])
    v1 = ParseID3v1(block)
    put('v1.mutagen.album', v1['TALB'].text[0])
)PY";

TEST(MutagenReads, TagsThisProgramWrites) {
    TempFolder dir;
    const std::string path = dir.write("a.mp3", test::audio(4000));
    TID3V2 v2;
    v2.LoadTag(path);
    v2.Frames[TID3V2::Title] = "后来";
    v2.Frames[TID3V2::Artist] = "Café Tacvba";
    v2.Frames[TID3V2::Album] = "Plain ASCII";
    v2.Frames[TID3V2::Comment] = "评论 and comment";
    v2.Frames[TID3V2::Year] = "2004";
    v2.Frames[TID3V2::Track] = "7";
    v2.Frames[TID3V2::Composer] = "作曲者";
    v2.Frames[TID3V2::Url] = "http://example.com/a";
    v2.Frames[TID3V2::EncodedBy] = "LAME";
    v2.SetGenre(17);
    ASSERT_TRUE(v2.SaveTag());
    TID3V1 v1;
    v1.LoadTag(path);
    v1.SetTitle("后来");
    v1.SetArtist("Café Tacvba");
    v1.SetAlbum("Plain ASCII");
    v1.SaveTag();

    const auto read = runPython(kReadWithMutagen, {path});
    ASSERT_EQ(read.exitCode, 0) << read.output;
    const auto& got = read.values;
    EXPECT_EQ(got.at("version"), "2.3");
    EXPECT_EQ(got.at("TIT2"), "后来");
    EXPECT_EQ(got.at("TPE1"), "Café Tacvba");
    EXPECT_EQ(got.at("TALB"), "Plain ASCII");
    EXPECT_EQ(got.at("COMM:"), "评论 and comment");
    EXPECT_EQ(got.at("TYER"), "2004");
    EXPECT_EQ(got.at("TRCK"), "7");
    EXPECT_EQ(got.at("TCON"), "(17)Rock");
    EXPECT_EQ(got.at("TCOM"), "作曲者");
    EXPECT_EQ(got.at("TENC"), "LAME");
    EXPECT_EQ(got.at("WXXX:"), "http://example.com/a");
    // ID3v1 holds legacy bytes: GBK for Chinese, Latin-1 for Latin-1 text, which is what
    // Mutagen (reading Latin-1 only) shows unchanged.
    EXPECT_EQ(legacyToUtf8(got.at("v1.title")), "后来");
    EXPECT_EQ(got.at("v1.artist"), "Caf\xE9 Tacvba");
    EXPECT_EQ(got.at("v1.album"), "Plain ASCII");
    EXPECT_EQ(got.at("v1.mutagen.album"), "Plain ASCII");
}

const char* kWriteWithMutagen = R"PY(
import sys
from mutagen.id3 import ID3, TIT2, TPE1, TALB, COMM, TDRC, TCON, TRCK, TCOM, WXXX
path, version, encoding = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
tag = ID3()
tag.add(TIT2(encoding=encoding, text='后来 Café'))
tag.add(TPE1(encoding=encoding, text='刘若英'))
tag.add(TALB(encoding=encoding, text='Album'))
tag.add(COMM(encoding=encoding, lang='eng', desc='iTunNORM', text=' 0000021A 00000220'))
tag.add(COMM(encoding=encoding, lang='eng', desc='', text='评论'))
tag.add(TDRC(encoding=encoding, text='2004'))
tag.add(TCON(encoding=encoding, text='(17)Rock'))
tag.add(TRCK(encoding=encoding, text='7/12'))
tag.add(TCOM(encoding=encoding, text='Composer ' + 'x' * 200))
tag.add(WXXX(encoding=encoding, desc='home', url='http://example.com'))
tag.save(path, v2_version=version)
)PY";

TEST(MutagenWrites, TagsThisProgramReads) {
    struct Case {
        int version;
        int encoding;
    };
    for (const Case c : {Case{3, 1}, Case{4, 3}, Case{4, 1}, Case{4, 2}}) {
        SCOPED_TRACE(testing::Message() << "v2." << c.version << " encoding " << c.encoding);
        TempFolder dir;
        const std::string sound = test::audio(3000);
        const std::string path = dir.write("a.mp3", sound);
        const auto wrote = runPython(kWriteWithMutagen, {path, std::to_string(c.version), std::to_string(c.encoding)});
        ASSERT_EQ(wrote.exitCode, 0) << wrote.output;
        TID3V2 v2;
        v2.LoadTag(path);
        EXPECT_EQ(v2.version(), c.version);
        EXPECT_EQ(v2.Frames[TID3V2::Title], "后来 Café");
        EXPECT_EQ(v2.Frames[TID3V2::Artist], "刘若英");
        EXPECT_EQ(v2.Frames[TID3V2::Album], "Album");
        EXPECT_EQ(v2.Frames[TID3V2::Comment], "评论");
        EXPECT_EQ(v2.Frames[TID3V2::Year], "2004");
        EXPECT_EQ(v2.GetGenre(), 17);
        EXPECT_EQ(v2.Frames[TID3V2::Track], "7/12");
        EXPECT_EQ(v2.Frames[TID3V2::Composer], "Composer " + std::string(200, 'x'));
        EXPECT_EQ(v2.Frames[TID3V2::Url], "http://example.com");
        EXPECT_EQ(test::fingerprint(test::TempFolder::readFile(path).substr(static_cast<std::size_t>(v2.TagSize))),
                  test::fingerprint(sound));
    }
}

const char* kWriteRichTag = R"PY(
import sys
from mutagen.id3 import ID3, TIT2, APIC, USLT, TXXX
path, version = sys.argv[1], int(sys.argv[2])
tag = ID3()
tag.add(APIC(encoding=3, mime='image/jpeg', type=3, desc='cover', data=bytes((i * 7) % 256 for i in range(100 * 1024))))
tag.add(TIT2(encoding=3, text='Old'))
tag.add(USLT(encoding=1, lang='eng', desc='', text='歌词 lyrics'))
tag.add(TXXX(encoding=3, desc='MusicBrainz Album Id', text='abc-123'))
tag.save(path, v2_version=version, padding=lambda info: 0)
)PY";

TEST(MutagenReads, FramesThisProgramKeepsAcrossARewrite) {
    for (int version : {3, 4}) {
        SCOPED_TRACE(version);
        TempFolder dir;
        const std::string sound = test::audio(40000, 4);
        const std::string path = dir.write("a.mp3", sound);
        ASSERT_EQ(runPython(kWriteRichTag, {path, std::to_string(version)}).exitCode, 0);
        const auto before = runPython(kReadWithMutagen, {path});

        TID3V2 v2;
        v2.LoadTag(path);
        v2.Frames[TID3V2::Title] = "新的标题 New title";
        ASSERT_TRUE(v2.SaveTag());
        EXPECT_EQ(test::fingerprint(test::TempFolder::readFile(path).substr(static_cast<std::size_t>(v2.TagSize))),
                  test::fingerprint(sound));

        const auto after = runPython(kReadWithMutagen, {path});
        ASSERT_EQ(after.exitCode, 0) << after.output;
        EXPECT_EQ(after.values.at("TIT2"), "新的标题 New title");
        for (const char* key : {"APIC", "USLT:", "TXXX:MusicBrainz Album Id", "version"})
            EXPECT_EQ(after.values.at(key), before.values.at(key)) << key;
    }
}

}  // namespace
}  // namespace quilvane
