// The editing area through the main window: backup and restore, listing and counting,
// loading and saving, copying names, the list-click steps, the caret line, drops, the
// transforms with their input boxes, and manual naming.
#include <QTest>
#include <QTextBlock>

#include "editing/list_correspondence.h"
#include "platform/codepage.h"
#include "platform/paths.h"
#include "platform/qt/qtext.h"
#include "support/gui_fixture.h"

namespace quilvane::test {
namespace {

class EditingWindow : public WindowTest {
protected:
    void caretToLine(int line) {
        QTextCursor cursor(form().ui.Memo1->document()->findBlockByNumber(line));
        form().ui.Memo1->setTextCursor(cursor);
    }
};

TEST_F(EditingWindow, TransformsTakeOneBackupThatRestoresEveryLineExactly) {
    openWindows();
    const QStringList original{"  01 my song.Mp3 ", "", "   ", "b-side.mp3"};
    form().setMemoLines(original);
    trigger("N11");
    EXPECT_EQ(form().memoLines(), (QStringList{"  01 MY SONG.Mp3 ", "", "   ", "B-SIDE.mp3"}));
    EXPECT_TRUE(form().ui.Button1->isEnabled());
    click("Button1");
    EXPECT_EQ(form().memoLines(), original);
    EXPECT_FALSE(form().ui.Button1->isEnabled());

    trigger("N22");  // strip leading digits: the blank after them stays
    trigger("N17");  // title case
    EXPECT_EQ(form().memoLines(), (QStringList{" My Song.mp3", "", "", "B-side.mp3"}));
    click("Button1");
    EXPECT_EQ(form().memoLines(), (QStringList{" my song.Mp3", "", "   ", "b-side.mp3"}))
        << "only the last command is undone";
    EXPECT_FALSE(form().ui.Button1->isEnabled());

    statusHistory.clear();
    trigger("N19");
    EXPECT_EQ(form().memoLines(), (QStringList{"1- my song.Mp3", "2-b-side.mp3"}));
    EXPECT_EQ(statusHistory, (QStringList{"稍候，操作进行中...", "操作完成"}));
}

// Each menu item runs its own transform: the same lines through every item give each
// item's own result.
TEST_F(EditingWindow, EveryTransformItemRunsItsOwnTransform) {
    openWindows();
    const QStringList lines{"12 a.b - Song x.mp3", "  ", "Tail"};
    const std::vector<std::pair<const char*, QStringList>> expected{
        {"N11", {"12 A.B - SONG X.mp3", "  ", "TAIL"}},
        {"N12", {"12 a.b - song x.mp3", "  ", "tail"}},
        {"N22", {" a.b - Song x.mp3", "  ", "Tail"}},
        {"N13", {"12 a.b - Song x", "  ", "Tail"}},
        {"N15", {"12 a.b - Song x.mp3", "Tail"}},
        {"N16", {"12a.b-Songx.mp3", "  ", "Tail"}},
        {"N17", {"12 A.b - Song X.mp3", "", "Tail"}},
        {"N20", {" Song x.mp3", "  ", "Tail"}},
        {"N38", {"12 a.b ", "  ", "Tail"}},
        {"N19", {"1-12 a.b - Song x.mp3", "2-Tail"}},
    };
    for (const auto& [item, result] : expected) {
        SCOPED_TRACE(item);
        form().setMemoLines(lines);
        trigger(item);
        EXPECT_EQ(form().memoLines(), result);
    }
    const std::vector<std::tuple<const char*, const char*, const char*, QStringList>> asking{
        {"N48", "添加前缀", "输入前缀名", {">12 a.b - Song x.mp3", ">  ", ">Tail"}},
        {"N49", "添加后缀", "输入后缀名", {"12 a.b - Song x.mp3->", "  ->", "Tail->"}},
        {"N36", "替换对话框", "输入替换字符窜", {">", "  ", ">"}},
    };
    for (const auto& [item, caption, prompt, result] : asking) {
        SCOPED_TRACE(item);
        form().setMemoLines(lines);
        prompts.expectInput(caption, prompt, QString(">"));
        trigger(item);
        EXPECT_EQ(form().memoLines(), result);
    }
}

TEST_F(EditingWindow, InputBoxesAndTheReplacementThatTakesNoBackup) {
    openWindows();
    form().setMemoLines({"song", "  "});
    prompts.expectInput("添加前缀", "输入前缀名", QString("01 "));
    trigger("N48");
    EXPECT_EQ(form().memoLines(), (QStringList{"01 song", "01   "}));
    prompts.expectInput("添加后缀", "输入后缀名", std::nullopt);
    trigger("N49");
    EXPECT_EQ(form().memoLines(), (QStringList{"01 song-", "01   -"})) << "cancelled: the separator alone";

    form().setMemoLines({"a", "", "b"});
    trigger("N15");
    prompts.expectInput("替换对话框", "输入替换字符窜", std::nullopt);
    trigger("N36");
    EXPECT_EQ(form().ui.Memo1->toPlainText(), "\n") << "two lines, both emptied";
    click("Button1");
    EXPECT_EQ(form().memoLines(), (QStringList{"a", "", "b"})) << "the backup of the last backing-up command";
}

TEST_F(EditingWindow, ListingAndCountingTheTree) {
    for (int i = 0; i < 15; ++i) folder.write("Music/" + std::to_string(i) + ".mp3");
    for (int i = 15; i < 25; ++i) folder.write("Music/Sub/" + std::to_string(i) + ".mp3");
    folder.write("Music/.hidden.mp3");
    openWindows();
    list().setDirectory(folder / "Music");
    form().setMemoLines({"before"});
    statusHistory.clear();
    trigger("N5");
    EXPECT_EQ(statusHistory, (QStringList{"已经完成数：10", "已经完成数：20", "25个文件显示完成"}));
    const QStringList lines = form().memoLines();
    EXPECT_EQ(lines.size(), 25);
    EXPECT_TRUE(lines.contains("24.mp3"));
    EXPECT_FALSE(lines.contains(".hidden.mp3"));
    click("Button1");
    EXPECT_EQ(form().memoLines(), QStringList{"before"});

    trigger("N6");
    EXPECT_EQ(status(), "当前文件夹统计有25个文件");
    EXPECT_EQ(form().memoLines(), QStringList{"before"}) << "counting leaves the area alone";
}

TEST_F(EditingWindow, LoadingAndSavingTextFilesOfNames) {
    const std::string names = "后来.mp3\r\n遇见.mp3\r\n";
    folder.write("utf8.txt", names);
    folder.write("gbk.txt", utf8ToLegacy(names));
    openWindows();
    for (const char* file : {"gbk.txt", "utf8.txt"}) {
        form().setMemoLines({"x"});
        prompts.expectOpenFile("Text File(*.txt);;All File(*.*)", toQ(folder / file));
        trigger("N21");
        EXPECT_EQ(form().memoLines(), (QStringList{"后来.mp3", "遇见.mp3"})) << file;
        EXPECT_FALSE(form().ui.Button1->isEnabled()) << "loading takes no backup";
    }
    prompts.expectSaveFile("Text(*.txt)", toQ(folder / "list.txt"));
    trigger("N7");
    EXPECT_EQ(folder.read("list.txt.txt"), names);
    prompts.expectSaveFile("Text(*.txt)", toQ(folder / "no/such/list"));
    prompts.expectError("Cannot create file " + toQ(folder / "no/such/list.txt"));
    trigger("N7");
    trigger("N18");
    EXPECT_EQ(form().memoLines(), QStringList{});
}

TEST_F(EditingWindow, CopyingNamesAndTheListClickSteps) {
    folder.makeFolder("A");
    folder.makeFolder("B");
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3", "d.mp3", "e.mp3"}) folder.write(name);
    openWindows();
    form().ui.RadioGroup3->setItemIndex(1);
    form().setMemoLines({"keep"});
    click("BitBtn1");
    EXPECT_EQ(form().memoLines(), (QStringList{"[.]此处改名无效", "[..]此处改名无效", "A", "B"}));
    click("Button1");
    EXPECT_EQ(form().memoLines(), QStringList{"keep"});

    form().ui.RadioGroup3->setItemIndex(0);
    form().setMemoLines({"zero", "one"});
    form().ui.CheckBox5->setChecked(true);
    list().clickItem(4);
    EXPECT_EQ(form().memoLines(), (QStringList{"zero", "one", "", "", "e.mp3"}));
    list().clickItem(1);
    EXPECT_EQ(form().memoLines(), (QStringList{"zero", "b.mp3", "", "", "e.mp3"}));

    form().ui.CheckBox5->setChecked(false);
    form().ui.CheckBox6->setChecked(true);
    form().setMemoLines({"Line0", "Second1", "Song.mp3"});
    list().clickItem(2);
    EXPECT_EQ(form().ui.Memo1->textCursor().blockNumber(), 2);
    EXPECT_EQ(form().ui.Memo1->textCursor().selectedText(), "Song");
}

TEST_F(EditingWindow, TheCaretLineSelectsItsEntryAndOpensItsFile) {
    for (const char* name : {"Alpha.mp3", "Beta.mp3", "Gamma.mp3"}) folder.write(name);
    openWindows();
    form().setMemoLines({"x", "y", "Gamma.mp3", "", "", "", "", "z"});
    caretToLine(1);
    form().SelecteInlist();
    EXPECT_EQ(list().itemIndex(), 1);
    caretToLine(7);
    form().SelecteInlist();
    EXPECT_EQ(list().itemIndex(), 1) << "no entry 7: the selection stays";

    caretToLine(2);
    QTest::mouseDClick(form().ui.Memo1->viewport(), Qt::LeftButton,
                       {}, form().ui.Memo1->cursorRect().center());
    ASSERT_FALSE(shell.calls.empty());
    EXPECT_EQ(shell.calls.back().action, "open");
    EXPECT_EQ(shell.calls.back().target, folder / "Gamma.mp3");

    form().setMemoLines({"   ", ""});
    list().setItemIndex(0);
    form().SelecteInlist();
    EXPECT_EQ(list().itemIndex(), 0) << "a blank area does nothing";
}

TEST_F(EditingWindow, DropsFromTheList) {
    folder.write("Music/a.mp3");
    folder.write("Music/Sub/b.mp3");
    folder.write("names.txt", "one\r\ntwo\r\n");
    openWindows();
    EXPECT_TRUE(form().Memo1DragOver(form().ui.FileListBox1));
    EXPECT_FALSE(form().Memo1DragOver(form().ui.ShellTreeView1));

    list().setItemIndex(0);  // names.txt
    form().Memo1DragDrop();
    EXPECT_EQ(form().memoLines(), (QStringList{"one", "two"}));

    // A song dropped on the area is no list of names: refused, the lines stay.
    folder.write("song.mp3", std::string("ID3\x03\0\0\0\0\0\x10", 10) + std::string(40, '\xFF'));
    trigger("N52");  // 刷新
    prompts.expectNotice(toQ(folder / "song.mp3") + " 不是文本文件，编辑区未改动");
    list().setItemIndex(indexOf("song.mp3"));
    form().Memo1DragDrop();
    EXPECT_EQ(form().memoLines(), (QStringList{"one", "two"}));
    list().setItemIndex(indexOf("names.txt"));

    form().ui.RadioGroup3->setItemIndex(1);
    list().setItemIndex(2);  // [Music]
    form().Memo1DragDrop();
    QStringList lines = form().memoLines();
    lines.sort();
    EXPECT_EQ(lines, (QStringList{"a.mp3", "b.mp3"}));
    EXPECT_EQ(currentDirectory(), folder.path());
}

TEST_F(EditingWindow, ManualNamingInBothModes) {
    for (const char* name : {"a.mp3", "rain.mp3", "x.mp3", "bb.mp3"}) folder.write(name, name);
    openWindows();
    // Entries: a.mp3, bb.mp3, rain.mp3, x.mp3
    form().setMemoLines({"bb.mp3", "bb.mp3", "Rain.mp3"});
    prompts.expectQuestion(toQ(folder / "a.mp3") + "重命名后与该文件夹中\n" + toQ(folder / "bb.mp3") + "同名，是否删除前者？", false);
    click("BitBtn6");
    EXPECT_EQ(form().ui.Memo1->document()->blockCount(), 4) << "an empty line was added for the fourth entry";
    EXPECT_EQ(status(), "1个文件已按指定名字重命名");
    EXPECT_TRUE(folder.exists("Rain.mp3"));
    EXPECT_TRUE(folder.exists("a.mp3"));
    EXPECT_TRUE(form().ui.N50->isEnabled());
    trigger("N50");
    EXPECT_TRUE(folder.exists("rain.mp3"));

    folder.makeFolder("Old");
    form().ui.RadioGroup3->setItemIndex(1);  // [.], [..], [Old]
    form().setMemoLines({"x", "y", "New"});
    trigger("N2");
    EXPECT_EQ(status(), "1个文件夹已按编辑区名字重命名");
    EXPECT_TRUE(folder.exists("New"));
    EXPECT_EQ(form().renamedCount(), 0);
}

}  // namespace
}  // namespace quilvane::test
