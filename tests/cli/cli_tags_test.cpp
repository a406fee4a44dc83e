// quilvane-cli's tag commands as a separate process: both tags shown (JSON read back by
// Python), fields set with a dry run first, batch copies and removals that keep the audio.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "cli_process.h"
#include "platform/legacy_text.h"
#include "support/folder_snapshot.h"
#include "support/id3_builder.h"
#include "support/python_runner.h"
#include "tags/id3v1.h"
#include "tags/id3v2.h"
#include "tags/tag_block.h"

namespace quilvane::test {
namespace {

std::string gbk(const std::string& utf8) { return encodeLegacy(utf8, LegacyCharset::Gbk).value(); }
bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string v1Block(const std::string& title, const std::string& artist) {
    const TagBlock tag = buildTagBlock(title, artist, "Album", "1999", "", 17);
    return std::string(tag.bytes.data(), 128);
}

std::string v2Tag() {
    return tag(3, {frame(3, "TIT2", std::string("\0Title", 6)), frame(3, "TPE1", std::string("\0Bj\xF6rk", 7)),
                   frame(3, "APIC", std::string("\0image/png\0\3\0PNGDATA", 21))}, 400);
}

const char* kReadJson = R"PY(
import json, sys
for n, line in enumerate(open(sys.argv[1], encoding='utf-8')):
    o = json.loads(line)
    def put(key, value): print('%d.%s=%s' % (n, key, str(value).encode('utf-8').hex()))
    put('path', o['path'])
    if 'error' in o: put('error', 'yes'); continue
    put('v1', 'none' if o['id3v1'] is None else o['id3v1']['title'] + '|' + o['id3v1']['artist'] + '|' + o['id3v1']['genre_name'])
    put('v2', 'none' if o['id3v2'] is None else o['id3v2']['version'] + '|' + o['id3v2']['title'] + '|' + o['id3v2']['artist'])
    if 'path_bytes' in o: put('bytes', o['path_bytes'])
)PY";

class CliTags : public CliTest {
protected:
    void SetUp() override {
        folder.write("T/v1.mp3", audio(2000, 1) + v1Block(gbk("童话"), gbk("光良")));
        folder.write("T/both.mp3", v2Tag() + audio(2000, 2) + v1Block("V1 title", "V1 artist"));
        folder.write("T/Sub/none.mp3", audio(2000, 3));
        folder.write("T/" + gbk("中文") + ".mp3", audio(100, 4));
        folder.write("T/notes.txt", "not an MP3 file");
    }
};

TEST_F(CliTags, ShowGivesOneJsonObjectPerFileAndNamesWhatCannotBeRead) {
    ASSERT_EQ(::mkfifo((folder / "T/pipe.mp3").c_str(), 0600), 0);
    const CliResult show = cli({"tags", "show", "--json", "T/v1.mp3", "T/both.mp3", "T/Sub/none.mp3", "T/pipe.mp3",
                                "T/" + gbk("中文") + ".mp3"});
    EXPECT_EQ(show.status, 1) << "the pipe cannot be read, and is not waited on";
    ASSERT_EQ(linesOf(show.out).size(), 5u) << show.out;
    const std::string json = folder.write("out.jsonl", show.out);
    const auto read = runPython(kReadJson, {json});
    ASSERT_EQ(read.exitCode, 0) << read.output;
    EXPECT_EQ(read.values.at("0.v1"), "童话|光良|Rock") << "GBK texts read as Chinese";
    EXPECT_EQ(read.values.at("0.v2"), "none");
    EXPECT_EQ(read.values.at("1.v2"), "2.3|Title|Björk");
    EXPECT_EQ(read.values.at("1.v1"), "V1 title|V1 artist|Rock");
    EXPECT_EQ(read.values.at("2.v1"), "none");
    EXPECT_EQ(read.values.at("3.error"), "yes");
    EXPECT_EQ(read.values.at("4.path"), "T/中文.mp3");
    EXPECT_EQ(read.values.at("4.bytes"), "542fd6d0cec42e6d7033") << "the name's own bytes, for scripts";

    // A GBK name in a folder named in UTF-8: each part of the path read on its own.
    folder.write("老歌/" + gbk("中文") + ".mp3", audio(100, 5));
    const CliResult mixed = cli({"tags", "show", "老歌/" + gbk("中文") + ".mp3"});
    EXPECT_EQ(linesOf(mixed.out).at(0), "老歌/中文.mp3") << mixed.out;

    const CliResult text = cli({"tags", "show", "T/both.mp3"});
    EXPECT_EQ(text.status, 0);
    EXPECT_TRUE(has(text.out, "  ID3v2.3:  title=Title  artist=Björk\n")) << text.out;
    EXPECT_TRUE(has(text.out, "  ID3v1:  title=V1 title  artist=V1 artist  album=Album  year=1999  comment=  genre=17 (Rock)\n"));
}

TEST_F(CliTags, SetChangesOnlyTheFieldsGivenAfterADryRun) {
    const std::string path = folder / "T/both.mp3";
    const std::string before = TempFolder::readFile(path);
    const std::vector<std::string> set{"tags", "set", "T/both.mp3", "--v2", "title=新标题", "--v2", "genre=Jazz",
                                       "--v1", "artist=Ann"};
    std::vector<std::string> dry = set;
    dry.push_back("--dry-run");
    const CliResult preview = cli(dry);
    EXPECT_EQ(preview.status, 0) << preview.err;
    EXPECT_EQ(TempFolder::readFile(path), before);
    EXPECT_TRUE(has(preview.out, "T/both.mp3: ID3v2 title: \"Title\" -> \"新标题\"")) << preview.out;
    EXPECT_TRUE(has(preview.out, "T/both.mp3: ID3v1 artist: \"V1 artist\" -> \"Ann\"")) << preview.out;

    const CliResult real = cli(set);
    EXPECT_EQ(real.status, 0) << real.err;
    EXPECT_EQ(real.out, "changed 1 files, 0 unchanged, 0 failed\n");
    TID3V2 v2;
    v2.LoadTag(path);
    EXPECT_EQ(v2.Frames[TID3V2::Title], "新标题");
    EXPECT_EQ(v2.Frames[TID3V2::Genre], "(8)Jazz");
    EXPECT_EQ(v2.Frames[TID3V2::Artist], "Björk");
    ASSERT_EQ(v2.keptFrames().size(), 1u) << "the picture is kept";
    TID3V1 v1;
    v1.LoadTag(path);
    EXPECT_EQ(v1.Artist, "Ann");
    EXPECT_EQ(v1.Title, "V1 title");
    const std::string after = TempFolder::readFile(path);
    EXPECT_EQ(after.substr(400, 2000), before.substr(400, 2000)) << "the audio stays in place";

    const CliResult again = cli(set);
    EXPECT_EQ(again.out, "changed 0 files, 1 unchanged, 0 failed\n");
    EXPECT_EQ(TempFolder::readFile(path), after) << "nothing to change writes nothing";

    const CliResult wrong = cli({"tags", "set", "T/notes.txt", "T/v1.mp3", "--v1", "title=x"});
    EXPECT_EQ(wrong.status, 1);
    EXPECT_TRUE(has(wrong.err, "not an MP3 file: T/notes.txt")) << wrong.err;
    EXPECT_EQ(folder.read("T/notes.txt"), "not an MP3 file");
    EXPECT_EQ(cli({"tags", "set", "T/v1.mp3", "--v2", "mood=happy"}).status, 2);
    EXPECT_EQ(cli({"tags", "set", "T/v1.mp3", "--v1", "genre=Nonsense"}).status, 2);
    EXPECT_EQ(cli({"tags", "set", "T/v1.mp3"}).status, 2);
}

TEST_F(CliTags, CopyAndRemoveOverATreeKeepEveryByteOfAudio) {
    const auto before = snapshot(folder / "T");
    const CliResult dry = cli({"tags", "copy", "v1-to-v2", "T", "--tree", "--dry-run"});
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(snapshot(folder / "T"), before);
    EXPECT_TRUE(has(dry.out, "dry run: would change 2 files, 2 need nothing, 0 failed")) << dry.out;

    const CliResult copy = cli({"tags", "copy", "v1-to-v2", "T", "--tree"});
    EXPECT_EQ(copy.status, 0) << copy.err;
    TID3V2 v2;
    v2.LoadTag(folder / "T/v1.mp3");
    EXPECT_EQ(v2.Frames[TID3V2::Title], "童话");
    EXPECT_EQ(v2.Frames[TID3V2::Artist], "光良");

    const CliResult notTree = cli({"tags", "remove", "all", "T"});
    EXPECT_EQ(notTree.status, 0);
    EXPECT_EQ(folder.read("T/v1.mp3"), audio(2000, 1));
    EXPECT_EQ(folder.read("T/both.mp3"), audio(2000, 2));
    EXPECT_EQ(folder.read("T/notes.txt"), "not an MP3 file");
    EXPECT_EQ(folder.read("T/Sub/none.mp3"), audio(2000, 3));
    EXPECT_EQ(cli({"tags", "remove", "v3", "T"}).status, 2);
    EXPECT_EQ(cli({"tags", "copy", "sideways", "T"}).status, 2);
}

}  // namespace
}  // namespace quilvane::test
