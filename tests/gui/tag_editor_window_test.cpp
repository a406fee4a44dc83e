// The tag editor through its real window: one file's tags from the list's "曲目信息",
// the batch over a folder from "V1V2批量修改", and what each button does to the files.
#include <QSignalSpy>
#include <QTest>

#include "platform/paths.h"
#include "platform/qt/qtext.h"
#include "support/gui_fixture.h"
#include "support/folder_snapshot.h"
#include "support/id3_builder.h"
#include "support/python_runner.h"
#include "tageditor/gui/v1v2_dialog.h"
#include "platform/legacy_text.h"
#include "tags/tag_block.h"
#include "tags/tag_reader.h"

#include <sys/stat.h>

namespace quilvane::test {
namespace {

std::string str(const char* bytes, std::size_t n) { return std::string(bytes, n); }

std::string v1Block(const std::string& title, std::uint8_t genre) {
    const TagBlock b = buildTagBlock(title, "Tom", "Sky", "1999", "v1", genre);
    return std::string(b.bytes.data(), 128);
}

std::string v2Tag(const std::string& title) {
    return tag(3, {frame(3, "TIT2", str("\0", 1) + title), frame(3, "TCON", str("\0(17)Rock", 9))}, 400);
}

class TagEditor : public WindowTest {
protected:
    TV1V2Dialog& dialog() { return *windows->V1V2Dialog; }
    void select(const QString& entry) { list().setItemIndex(indexOf(entry)); }
    void runBatch() {
        QSignalSpy changed(&dialog(), &TV1V2Dialog::batchRunningChanged);
        dialog().ui.BitBtn6->click();
        ASSERT_TRUE(changed.wait(20000) || changed.count() >= 2);
        while (dialog().batchRunning()) ASSERT_TRUE(changed.wait(20000));
    }
};

TEST_F(TagEditor, OneFileFromTheListAndItsTwoTags) {
    folder.write("song.mp3", v2Tag("后来") + audio(2000) + v1Block("Rain", 17));
    folder.write("notes.txt", "text");
    openWindows();
    trigger("N23");
    EXPECT_FALSE(dialog().isVisible()) << "nothing selected";
    select("notes.txt");
    trigger("N23");
    EXPECT_FALSE(dialog().isVisible()) << "not an MP3 file";
    select("song.mp3");
    trigger("N23");
    ASSERT_TRUE(dialog().isVisible());
    const Ui::TV1V2Dialog& ui = dialog().ui;
    EXPECT_EQ(ui.Edit16->text(), toQ(folder / "song.mp3"));
    EXPECT_EQ(ui.Edit1->text(), "Rain");
    EXPECT_EQ(ui.ComboBox1->currentText(), "Rock");
    EXPECT_EQ(ui.Edit6->text(), "后来");
    EXPECT_EQ(ui.ComboBox2->currentIndex(), 17);
    EXPECT_TRUE(ui.CheckBox1->isChecked());
    EXPECT_TRUE(ui.CheckBox2->isChecked());
    EXPECT_FALSE(ui.GroupBox3->isEnabled());
    EXPECT_TRUE(ui.BitBtn1->isEnabled());
    EXPECT_FALSE(ui.BitBtn8->isEnabled());
    EXPECT_TRUE(dialog().windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(dialog().isModal());

    // Only the ID3v2 genre changes: the ID3v1 tag is not touched, the panel says what was written.
    const std::string v1Before = folder.read("song.mp3").substr(folder.read("song.mp3").size() - 128);
    dialog().ui.ComboBox2->setCurrentIndex(13);
    dialog().ui.BitBtn1->click();
    TID3V2 v2;
    v2.LoadTag(folder / "song.mp3");
    EXPECT_EQ(v2.GetGenre(), 13);
    EXPECT_EQ(folder.read("song.mp3").substr(folder.read("song.mp3").size() - 128), v1Before);
    EXPECT_EQ(ui.StatusBar1->panelText(0), "已写入ID3v2标签");

    // The copy buttons fill fields; only "更改" writes.
    dialog().ui.BitBtn3->click();  // 从ID3v1复制
    EXPECT_EQ(ui.Edit6->text(), "Rain");
    dialog().ui.Edit1->setText("Snow");
    dialog().ui.BitBtn1->click();
    EXPECT_EQ(ui.StatusBar1->panelText(0), "已写入ID3v2标签；文件" + toQ(folder / "song.mp3") + "已完成更改");
    TID3V1 v1;
    v1.LoadTag(folder / "song.mp3");
    EXPECT_EQ(v1.Title, "Snow");
    v2.LoadTag(folder / "song.mp3");
    EXPECT_EQ(v2.Frames[TID3V2::Title], "Rain");
}

TEST_F(TagEditor, RemovingTagsAndAFileWithOnlyAnId3v2Tag) {
    folder.write("both.mp3", v2Tag("Both") + audio(1500, 2) + v1Block("Both", 3));
    const std::string onlyV2 = v2Tag("Only") + audio(1500, 3);
    folder.write("only.mp3", onlyV2);
    openWindows();
    select("only.mp3");
    trigger("N23");
    const Ui::TV1V2Dialog& ui = dialog().ui;
    EXPECT_FALSE(ui.CheckBox1->isChecked());
    EXPECT_FALSE(ui.Edit1->isEnabled());
    dialog().ui.BitBtn1->click();
    EXPECT_EQ(folder.read("only.mp3"), onlyV2) << "no ID3v1 tag added, nothing else changed";

    select("both.mp3");
    trigger("N23");
    dialog().ui.CheckBox2->setChecked(false);
    dialog().ui.BitBtn1->click();
    const std::string once = folder.read("both.mp3");
    EXPECT_EQ(dialog().ui.StatusBar1->panelText(0), "已删除ID3v2标签");
    EXPECT_NE(once.substr(0, 3), "ID3") << "the ID3v2 tag is gone";
    EXPECT_EQ(once.substr(0, 1500), audio(1500, 2));
    dialog().ui.BitBtn1->click();
    EXPECT_EQ(folder.read("both.mp3"), once) << "removed once";
    EXPECT_EQ(dialog().ui.StatusBar1->panelText(0), "") << "nothing removed the second time, nothing said";
}

TEST_F(TagEditor, AFileChangedSinceTheDialogReadItIsNotWrittenOver) {
    folder.write("song.mp3", v2Tag("Old") + audio(3000, 4));
    openWindows();
    select("song.mp3");
    trigger("N23");
    const std::string stripped = audio(3000, 4);
    folder.write("song.mp3", stripped);  // another program removed the tag meanwhile
    dialog().ui.Edit6->setText("New");
    prompts.expectError("");
    dialog().ui.BitBtn1->click();
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_TRUE(prompts.shown()[0].text.contains(toQ(folder / "song.mp3")));
    EXPECT_TRUE(prompts.shown()[0].text.contains("已被其他程序修改"));
    EXPECT_EQ(folder.read("song.mp3"), stripped);

    // An edit of the same size (a title changed in place): refused, and the dialog shows
    // what the file now holds.
    const std::string theirs = v2Tag("Odd") + audio(3000, 4);
    folder.write("song.mp3", v2Tag("Old") + audio(3000, 4));
    trigger("N23");
    folder.write("song.mp3", theirs);
    dialog().ui.Edit7->setText("Mine");
    prompts.expectError("");
    dialog().ui.BitBtn1->click();
    EXPECT_EQ(folder.read("song.mp3"), theirs);
    EXPECT_EQ(dialog().ui.Edit6->text(), "Odd") << "read again";

    // A reading that failed (a pipe named like a song) leaves nothing to write into the
    // file read before it.
    ASSERT_EQ(::mkfifo((folder / "pipe.mp3").c_str(), 0644), 0);
    trigger("N52");  // 刷新
    select("pipe.mp3");
    prompts.expectError("");
    trigger("N23");
    EXPECT_FALSE(dialog().ui.BitBtn1->isEnabled());
    dialog().BitBtn1Click();
    EXPECT_EQ(folder.read("song.mp3"), theirs);

    // A tag over the size limit is not written, and the panel says so beside what was.
    select("song.mp3");
    trigger("N23");
    dialog().ui.CheckBox1->setChecked(true);
    dialog().ui.Edit1->setText("Written");
    dialog().ui.Memo1->setPlainText(QString(1900, 'c'));
    dialog().ui.BitBtn1->click();
    EXPECT_EQ(dialog().ui.StatusBar1->panelText(0),
              "ID3v2标签超过2000字节，未写入；文件" + toQ(folder / "song.mp3") + "已完成更改");
}

// Each box goes to its own frame; what the user did not touch (a genre of the user's
// own, a number with no name, a comment of several lines) keeps its bytes; the ID3v2
// tag is written before the ID3v1 block is appended, so both are.
TEST_F(TagEditor, EachBoxWritesItsFrameAndUntouchedValuesKeepTheirBytes) {
    const std::string genre = frame(3, "TCON", str("\0", 1) + encodeLegacy("流行", LegacyCharset::Gbk).value());
    const std::string comment = frame(3, "COMM", str("\0eng\0line one\r\nline two", 23));
    const TagBlock noName = buildTagBlock("Rain", "Tom", "Sky", "1999", "v1", 200);
    folder.write("song.mp3", tag(3, {frame(3, "TIT2", str("\0Old", 4)), genre, comment}, 400) + audio(2000, 5) +
                                 std::string(noName.bytes.data(), 128));
    folder.write("rock.mp3", tag(3, {frame(3, "TCON", str("\0rock", 5))}, 200) + audio(500, 6));
    openWindows();
    select("rock.mp3");
    trigger("N23");
    EXPECT_EQ(dialog().ui.ComboBox2->currentText(), "Rock") << "a genre written as its name";

    select("song.mp3");
    trigger("N23");
    const Ui::TV1V2Dialog& ui = dialog().ui;
    EXPECT_EQ(ui.Memo1->toPlainText(), "line one\nline two");
    ui.Edit6->setText("New");
    ui.Edit10->setText("7");
    ui.Edit11->setText("Composer");
    ui.Edit12->setText("Original");
    ui.Edit13->setText("Copyright");
    ui.Edit14->setText("http://example.org/");
    ui.Edit15->setText("Encoder");
    ui.BitBtn1->click();
    const std::string after = folder.read("song.mp3");
    EXPECT_NE(after.find(genre), std::string::npos) << "the untouched genre keeps its bytes";
    EXPECT_NE(after.find(comment), std::string::npos) << "the untouched comment keeps its CR LF";
    EXPECT_EQ(static_cast<unsigned char>(after.back()), 200) << "the ID3v1 genre without a name stays";
    const auto read = runPython(R"PY(
import sys
from mutagen.id3 import ID3
tags = ID3(sys.argv[1], load_v1=False)
for key in ('TIT2', 'TRCK', 'TCOM', 'TOPE', 'TCOP', 'TENC'):
    print(key + '=' + str(tags[key].text[0]).encode('utf-8').hex())
print('WXXX=' + tags.getall('WXXX')[0].url.encode('utf-8').hex())
)PY", {folder / "song.mp3"});
    ASSERT_EQ(read.exitCode, 0) << read.output;
    const std::map<std::string, std::string> expected{{"TIT2", "New"},         {"TRCK", "7"},         {"TCOM", "Composer"},
                                                      {"TOPE", "Original"},    {"TCOP", "Copyright"}, {"TENC", "Encoder"},
                                                      {"WXXX", "http://example.org/"}};
    EXPECT_EQ(read.values, expected);

    // A file with only an ID3v2 tag given an ID3v1 tag and a new title in one click.
    folder.write("only.mp3", v2Tag("Only") + audio(1500, 7));
    trigger("N52");  // 刷新
    select("only.mp3");
    trigger("N23");
    ui.CheckBox1->setChecked(true);
    ui.Edit1->setText("V1 now");
    ui.Edit6->setText("V2 now");
    ui.BitBtn1->click();
    TID3V1 v1;
    TID3V2 v2;
    readBothTags(folder / "only.mp3", v1, v2);
    EXPECT_EQ(v1.Title, "V1 now");
    EXPECT_EQ(v2.Frames[TID3V2::Title], "V2 now");
}

TEST_F(TagEditor, FolderModeSettingsAndTheModeTable) {
    openWindows();
    trigger("V1V21");
    const Ui::TV1V2Dialog& ui = dialog().ui;
    EXPECT_EQ(ui.Edit16->text(), toQ(folder.path()));
    EXPECT_TRUE(ui.GroupBox3->isEnabled());
    EXPECT_FALSE(ui.BitBtn1->isEnabled());
    EXPECT_EQ(ui.Edit1->text(), "标题取文件名");
    EXPECT_EQ(ui.Edit7->text(), "艺术家取文件夹名");
    EXPECT_EQ(ui.Edit4->text(), "未知");
    EXPECT_EQ(ui.Memo1->toPlainText(), "Modified by orvek");
    EXPECT_EQ(ui.Edit10->text(), "0");
    EXPECT_TRUE(ui.CheckBox1->isChecked());
    EXPECT_FALSE(ui.CheckBox2->isChecked());

    dialog().ui.RadioGroup1->setItemIndex(5);  // 删除ID3v1
    EXPECT_FALSE(ui.CheckBox1->isChecked());
    EXPECT_FALSE(ui.CheckBox2->isChecked());
    EXPECT_FALSE(ui.Edit1->isEnabled());
    EXPECT_FALSE(ui.Edit6->isEnabled());
    dialog().ui.RadioGroup1->setItemIndex(2);  // 全部修改
    EXPECT_TRUE(ui.CheckBox1->isChecked());
    EXPECT_TRUE(ui.CheckBox2->isChecked());

    dialog().ui.Edit3->setText("Typed album");
    dialog().ui.CheckBox9->setChecked(true);
    EXPECT_EQ(ui.Edit3->text(), "Typed album") << "包含子文件夹 runs nothing";
    dialog().ui.CheckBox4->setChecked(false);
    EXPECT_EQ(ui.Edit3->text(), "Unknown") << "the other settings reset the fields";
    EXPECT_EQ(ui.Edit1->text(), "Unknown");
}

TEST_F(TagEditor, ABatchRunsReportsStopsAndRunsAgain) {
    folder.write("Music/a.mp3", v2Tag("a") + audio(500) + v1Block("a", 1));
    folder.write("Music/b.Mp3", v2Tag("b") + audio(500) + v1Block("b", 1));
    folder.write("Music/c.MP3", v2Tag("c") + audio(500) + v1Block("c", 1));
    folder.write("Music/notes.txt", "text");
    openWindows();
    form().selectFolderInTree(folder / "Music");
    trigger("V1V21");
    runBatch();
    EXPECT_EQ(dialog().ui.StatusBar1->panelText(0), "3个MP3文件已完成指定ID3修改");
    EXPECT_EQ(dialog().ui.BitBtn6->text(), "开始");
    EXPECT_EQ(currentDirectory(), folder / "Music");
    TID3V1 v1;
    v1.LoadTag(folder / "Music/b.Mp3");
    EXPECT_EQ(v1.Title, "b") << "title from the file name";
    EXPECT_EQ(v1.Artist, "Music") << "artist from the folder";
    EXPECT_EQ(folder.read("Music/notes.txt"), "text");

    // A long run: the single-file commands wait; "停止" ends it with the count so far.
    for (int i = 0; i < 400; ++i) folder.write("Many/" + std::to_string(i) + ".mp3", v2Tag("x") + audio(300));
    form().selectFolderInTree(folder / "Many");
    trigger("V1V21");
    dialog().ui.RadioGroup1->setItemIndex(2);
    QSignalSpy changed(&dialog(), &TV1V2Dialog::batchRunningChanged);
    dialog().ui.BitBtn6->click();
    EXPECT_EQ(dialog().ui.BitBtn6->text(), "停止");
    EXPECT_FALSE(form().ui.N23->isEnabled()) << "曲目信息 waits for the batch";
    dialog().ui.BitBtn6->click();
    while (dialog().batchRunning()) ASSERT_TRUE(changed.wait(20000));
    EXPECT_TRUE(dialog().ui.StatusBar1->panelText(0).startsWith("已停止 ！ 完成"));
    EXPECT_TRUE(form().ui.N23->isEnabled());
    runBatch();
    EXPECT_EQ(dialog().ui.StatusBar1->panelText(0), "400个MP3文件已完成指定ID3修改") << "a new run counts from 0";
}

// What Mutagen reads of each MP3 file of a tree: "name.field=value" for the ID3v2 frames
// (without the ID3v1 tag) and the ID3v1 tag ("v1" fields), as the shell would list them.
std::map<std::string, std::string> mutagenView(const std::string& root) {
    const auto read = runPython(R"PY(
import os, sys
from mutagen.id3 import ID3, ID3NoHeaderError
from mutagen.id3._id3v1 import ParseID3v1
root = sys.argv[1]
for folder, _, names in os.walk(root):
    for name in names:
        path = os.path.join(folder, name)
        if not name.endswith('.mp3') or not os.path.isfile(path):
            continue
        key = os.path.relpath(path, root)
        def put(field, text):
            print(key.encode('utf-8').hex() + '.' + field + '=' + text.encode('utf-8').hex())
        try:
            tags = ID3(path, load_v1=False)
            for frame in ('TIT2', 'TPE1', 'TALB', 'TCON', 'COMM::eng'):
                if frame in tags:
                    put(frame[:4], tags[frame].genres[0] if frame == 'TCON' else str(tags[frame].text[0]))
        except ID3NoHeaderError:
            put('v2', 'none')
        with open(path, 'rb') as f:
            f.seek(-128, 2)
            v1 = ParseID3v1(f.read(128))
        if v1 is None:
            put('v1', 'none')
        else:
            for frame in ('TIT2', 'TCON', 'COMM'):
                if frame in v1:
                    put('v1' + frame, v1[frame].genres[0] if frame == 'TCON' else str(v1[frame].text[0]))
)PY", {root});
    EXPECT_EQ(read.exitCode, 0) << read.output;
    std::map<std::string, std::string> view;
    for (const auto& [key, value] : read.values) {
        const auto dot = key.find('.');
        std::string name;
        for (std::size_t i = 0; i + 1 < dot; i += 2) name += static_cast<char>(std::stoi(key.substr(i, 2), nullptr, 16));
        view[name + key.substr(dot)] = value;
    }
    return view;
}

// The batch writes the fields as the user sees them when "开始" is pressed, and a copy
// from a tag a file does not have leaves that file as it was.
TEST_F(TagEditor, TheBatchWritesWhatWasTypedAndCopiesOnlyFromTagsThatAreThere) {
    const auto v2With = [](const std::string& title, const std::string& genre) {
        std::vector<std::string> frames{frame(3, "TIT2", str("\0", 1) + title), frame(3, "TPE1", str("\0Singer", 7)),
                                        frame(3, "COMM", str("\0eng\0v2 note", 12))};
        if (!genre.empty()) frames.push_back(frame(3, "TCON", str("\0", 1) + genre));
        return tag(3, frames, 300);
    };
    const auto v1With = [](const std::string& title, std::uint8_t genre) {
        const TagBlock b = buildTagBlock(title, "Tom", "Sky", "1999", "v1 note", genre);
        return std::string(b.bytes.data(), 128);
    };
    folder.write("Album/v2only.mp3", v2With("Two", "Rock") + audio(400, 1));
    folder.write("Album/nogenre.mp3", v2With("Bare", "") + audio(400, 2));
    folder.write("Album/v1only.mp3", audio(400, 3) + v1With("One", 13));
    folder.write("Album/none.mp3", audio(400, 4));
    folder.write("Album/Sub/deep.mp3", audio(400, 5) + v1With("Deep", 13));
    ASSERT_EQ(::mkfifo((folder / "Album/pipe.mp3").c_str(), 0644), 0);
    openWindows();
    form().selectFolderInTree(folder / "Album");
    trigger("V1V21");
    dialog().ui.CheckBox9->setChecked(true);

    // ID3v2->ID3v1: the files without an ID3v2 tag stay as they were.
    auto before = snapshot(folder / "Album");
    dialog().ui.RadioGroup1->setItemIndex(4);
    runBatch();
    EXPECT_EQ(dialog().ui.StatusBar1->panelText(0), "2个MP3文件已完成指定ID3修改，3个文件没有ID3v2标签，未改动");
    auto after = snapshot(folder / "Album");
    for (const char* same : {"v1only.mp3", "none.mp3", "Sub/deep.mp3"}) EXPECT_EQ(after.at(same), before.at(same)) << same;
    auto seen = mutagenView(folder / "Album");
    EXPECT_EQ(seen["v2only.mp3.v1TIT2"], "Two");
    EXPECT_EQ(seen["v2only.mp3.v1TCON"], "Rock") << "a genre written as its name";
    EXPECT_EQ(seen.count("nogenre.mp3.v1TCON"), 0u) << "no genre stays no genre (255)";
    EXPECT_EQ(seen["v1only.mp3.v1TIT2"], "One");

    // ID3v1->ID3v2: the comment goes too; the file without an ID3v1 tag is not touched.
    before = after;
    dialog().ui.RadioGroup1->setItemIndex(3);
    runBatch();
    EXPECT_EQ(dialog().ui.StatusBar1->panelText(0), "4个MP3文件已完成指定ID3修改，1个文件没有ID3v1标签，未改动");
    EXPECT_EQ(snapshot(folder / "Album").at("none.mp3"), before.at("none.mp3"));
    seen = mutagenView(folder / "Album");
    EXPECT_EQ(seen["v1only.mp3.TIT2"], "One");
    EXPECT_EQ(seen["v1only.mp3.COMM"], "v1 note");
    EXPECT_EQ(seen["v1only.mp3.TCON"], "Pop");
    EXPECT_EQ(seen["v2only.mp3.TIT2"], "Two");
    EXPECT_EQ(seen["none.mp3.v2"], "none");

    // 修改ID3v2 with typed values: title typed, artist from the folder, each on its own.
    dialog().ui.RadioGroup1->setItemIndex(1);
    dialog().ui.CheckBox4->setChecked(false);
    dialog().ui.Edit6->setText("我的标题");
    dialog().ui.Edit8->setText("测试专辑");
    dialog().ui.ComboBox2->setCurrentIndex(17);
    runBatch();
    EXPECT_EQ(dialog().ui.Edit8->text(), "测试专辑") << "starting leaves the fields as typed";
    seen = mutagenView(folder / "Album");
    for (const char* name : {"v2only.mp3", "nogenre.mp3", "v1only.mp3", "none.mp3", "Sub/deep.mp3"}) {
        EXPECT_EQ(seen[std::string(name) + ".TIT2"], "我的标题") << name;
        EXPECT_EQ(seen[std::string(name) + ".TALB"], "测试专辑") << name;
        EXPECT_EQ(seen[std::string(name) + ".TCON"], "Rock") << name;
    }
    EXPECT_EQ(seen["v1only.mp3.TPE1"], "Album");
    EXPECT_EQ(seen["Sub/deep.mp3.TPE1"], "Sub");
}

TEST_F(TagEditor, TheFolderBrowserMovesTheMainList) {
    folder.makeFolder("Other");
    folder.write("Other/x.mp3");
    openWindows();
    trigger("V1V21");
    prompts.expectFolder(toQ(folder / "Other"));
    dialog().ui.BitBtn7->click();
    EXPECT_EQ(dialog().ui.Edit16->text(), toQ(folder / "Other"));
    EXPECT_EQ(dialog().targetPath(), folder / "Other");
    EXPECT_EQ(form().ui.FileListBox1->directory(), folder / "Other");
    EXPECT_EQ(status(1), "当前文件夹  " + toQ(folder / "Other"));
}

}  // namespace
}  // namespace quilvane::test
