// The rename primitive, its undo and the naming settings, through the main window.
#include <QFocusEvent>
#include <QTest>

#include "platform/paths.h"
#include "platform/qt/qtext.h"
#include "support/gui_fixture.h"
#include "support/journal_files.h"

#include <csignal>
#include <functional>
#include <sys/resource.h>

namespace quilvane::test {
namespace {

using RenameWindow = WindowTest;

TEST_F(RenameWindow, ReNameAppliesTheChosenFormatAndAsksOnCollisions) {
    folder.write("Rain.mp3", "rain");
    folder.write("Tom - Snow.mp3", "snow");
    folder.write("Wind.mp3", "wind");
    const std::string dirName = fileNameOf(folder.path());
    folder.write(dirName + " - Wind.mp3", "named before");
    openWindows();
    form().ui.RadioGroup1->setItemIndex(1);  // 歌手-歌名
    ASSERT_EQ(form().nameStyle(), NameStyle::ArtistInFront);

    form().ReName(folder / "Rain.mp3");
    form().ReName(folder / "Tom - Snow.mp3");
    EXPECT_TRUE(folder.exists(dirName + " - Rain.mp3"));
    EXPECT_TRUE(folder.exists("Tom - Snow.mp3")) << "a name with the separator is left alone";

    const QString question = toQ(folder / "Wind.mp3") + "重命名后与该文件夹中\n" +
                             toQ(folder / (dirName + " - Wind.mp3")) + "同名，是否删除前者？";
    prompts.expectQuestion(question, false);
    form().ReName(folder / "Wind.mp3");
    EXPECT_EQ(folder.read("Wind.mp3"), "wind");
    prompts.expectQuestion(question, true);
    form().ReName(folder / "Wind.mp3");
    EXPECT_FALSE(folder.exists("Wind.mp3"));
    EXPECT_EQ(folder.read(dirName + " - Wind.mp3"), "named before");
    EXPECT_EQ(form().renamedCount(), 1);
    EXPECT_EQ(form().undoList().size(), 1u);

    // "歌名" with a typed artist name unchanged is not involved: the text after the
    // separator becomes the name, blank kept.
    form().ui.RadioGroup1->setItemIndex(0);
    form().ReName(folder / "Tom - Snow.mp3");
    EXPECT_TRUE(folder.exists(" Snow.mp3"));
}

TEST_F(RenameWindow, TheTypedArtistNameIsUsedAsItStands) {
    folder.write("Rain.mp3");
    openWindows();
    form().ui.RadioGroup1->setItemIndex(1);
    click("CheckBox4");
    EXPECT_TRUE(form().ui.Edit5->isEnabled());
    EXPECT_EQ(form().ui.Edit5->text(), "请输入歌手名字");
    form().ui.Edit5->setText("刘若英");
    form().ReName(folder / "Rain.mp3");
    EXPECT_TRUE(folder.exists("刘若英 - Rain.mp3"));
    EXPECT_NE(TempFolder::readFile(newestJournal(stateHome / "quilvane")).find(folder / "刘若英 - Rain.mp3"), std::string::npos)
        << "a single rename is journaled too: it can be undone after a restart";

    prompts.expectNotice("歌手名不能为空");
    form().ui.Edit5->setText("  ");
    form().ui.Edit5->setText(" ");  // a single blank passes
    click("CheckBox4");
    EXPECT_FALSE(form().ui.Edit5->isEnabled());
    EXPECT_EQ(form().ui.Edit5->text(), "默认以所在文件夹名为歌手名");
}

TEST_F(RenameWindow, UndoRestoresAChainAndReportsItsProgress) {
    // "歌名" turns p-z into z, then with the separator "_" q_p-z into p-z: a chain that
    // only a last-first undo restores.
    folder.write("p-z", "first");
    folder.write("q_p-z", "second");
    for (int i = 0; i < 18; ++i) folder.write("Artist_" + std::to_string(i) + ".mp3", std::to_string(i));
    openWindows();
    form().ui.RadioGroup1->setItemIndex(0);
    form().ReName(folder / "p-z");
    click("CheckBox1");
    QTest::keyClicks(form().ui.Edit3, "_");
    form().ReName(folder / "q_p-z");
    for (int i = 0; i < 18; ++i) form().ReName(folder / ("Artist_" + std::to_string(i) + ".mp3"));
    ASSERT_EQ(form().undoList().size(), 20u);
    EXPECT_EQ(folder.read("z"), "first");
    EXPECT_EQ(folder.read("p-z"), "second");

    // The naming commands enable the undo controls when they end.
    form().ui.N50->setEnabled(true);
    form().ui.BitBtn7->setEnabled(true);
    statusHistory.clear();
    click("BitBtn7");
    EXPECT_EQ(statusHistory, (QStringList{"0个文件名已恢复", "9个文件名已恢复", "18个文件名已恢复",
                                          "20个文件撤销完成"}));
    EXPECT_EQ(folder.read("p-z"), "first");
    EXPECT_EQ(folder.read("q_p-z"), "second");
    EXPECT_FALSE(folder.exists("z"));
    for (int i = 0; i < 18; ++i) EXPECT_TRUE(folder.exists("Artist_" + std::to_string(i) + ".mp3"));
    EXPECT_FALSE(form().ui.N50->isEnabled());
    EXPECT_FALSE(form().ui.BitBtn7->isEnabled());
    EXPECT_TRUE(form().undoList().empty());
}

// With a state folder that takes nothing (here: files may not grow past 4 KB), a naming
// command asks before it renames, and renames nothing on No.
TEST_F(RenameWindow, ABatchThatCouldNotBeUndoneStartsOnlyWhenTheUserSaysSo) {
    folder.write("Tom-a.mp3", "a");
    openWindows();
    form().ui.RadioGroup1->setItemIndex(0);
    const auto withFullDisk = [](const std::function<void()>& work) {
        rlimit old {};
        ::getrlimit(RLIMIT_FSIZE, &old);
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limited{4096, old.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limited);
        work();
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, previous);
    };
    const QString question = QStringLiteral("，这一批改名将不能撤销。仍然改名吗？");
    prompts.expectQuestion("", false);
    withFullDisk([&] { form().N14Click(); });
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_TRUE(prompts.shown()[0].text.startsWith("无法写入改名日志 ")) << prompts.shown()[0].text.toStdString();
    EXPECT_TRUE(prompts.shown()[0].text.endsWith(question));
    EXPECT_TRUE(folder.exists("Tom-a.mp3")) << "No: nothing renamed";
    prompts.expectQuestion("", true);
    withFullDisk([&] { form().N14Click(); });
    EXPECT_TRUE(folder.exists("a.mp3")) << "Yes: renamed, once asked";
    EXPECT_EQ(prompts.shown().size(), 2u);
}

TEST_F(RenameWindow, TheSeparatorBoxTakesOneCharacter) {
    openWindows();
    QLineEdit* box = form().ui.Edit3;
    click("CheckBox1");
    EXPECT_TRUE(box->isEnabled());
    EXPECT_TRUE(box->text().isEmpty());
    EXPECT_EQ(form().sepChar(), "-") << "unchanged until a new text is accepted";

    prompts.expectNotice("分隔符只能是一个ANSI字符");
    QTest::keyClicks(box, "ab");
    EXPECT_EQ(box->text(), "a");
    EXPECT_EQ(form().sepChar(), "a");

    box->clear();
    prompts.expectQuestion("是否以空格作为分隔符？", false)
        .expectQuestion("是否以空格作为分隔符？", false)
        .expectQuestion("是否以空格作为分隔符？", true);
    QTest::keyClicks(box, "   ");
    EXPECT_EQ(form().sepChar(), " ");

    box->clear();
    box->insert("之");
    EXPECT_EQ(form().sepChar(), "之");

    click("CheckBox1");
    EXPECT_FALSE(box->isEnabled());
    EXPECT_EQ(box->text(), " -");
    EXPECT_EQ(form().sepChar(), "-");
}

TEST_F(RenameWindow, TheExtensionBoxRefusesDotsAndChangesEveryLine) {
    openWindows();
    QLineEdit* box = form().ui.Edit4;
    click("CheckBox2");
    EXPECT_TRUE(box->isEnabled());
    EXPECT_TRUE(box->text().isEmpty());

    prompts.expectNotice("不用输入后缀");
    box->setText(" .mp3");
    EXPECT_TRUE(box->text().isEmpty());
    prompts.expectNotice("不能包含小数点");
    box->setText("m.p3");
    EXPECT_TRUE(box->text().isEmpty());

    form().setMemoLines({"a.b.mp3", "", "readme"});
    box->setText("wma");
    prompts.expectQuestion("确定全部改变后缀？", true);
    QFocusEvent leave(QEvent::FocusOut);
    QApplication::sendEvent(box, &leave);
    EXPECT_EQ(form().memoLines(), (QStringList{"a.b.wma", "", "readme.wma"}));
    EXPECT_FALSE(form().ui.Button1->isEnabled()) << "no backup is taken";

    click("CheckBox2");
    EXPECT_EQ(box->text(), "原后缀");
    EXPECT_FALSE(box->isEnabled());
}

TEST_F(RenameWindow, RestoringTheBackupPutsEveryLineBack) {
    openWindows();
    form().setMemoLines({"a", "", " b "});
    form().takeEditBackup();
    EXPECT_TRUE(form().ui.Button1->isEnabled());
    form().setMemoLines({"x", "  ", "y"});
    click("Button1");
    EXPECT_EQ(form().memoLines(), (QStringList{"a", "", " b "}));
    EXPECT_TRUE(form().editBackup().isEmpty());
    EXPECT_FALSE(form().ui.Button1->isEnabled());
}

}  // namespace
}  // namespace quilvane::test
