// Drag-and-drop from the list onto the tree, 删除 and 到回收站, the About box, the help
// and 退出, through the main window.
#include <QApplication>
#include <QDrag>
#include <QElapsedTimer>
#include <QProcess>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QWindow>
#include <cstdlib>

#include "app/gui/form2.h"
#include "platform/paths.h"
#include "platform/qt/folder_tree_model.h"
#include "platform/qt/qtext.h"
#include "support/gui_fixture.h"

namespace quilvane::test {
namespace {

class Transfers : public WindowTest {
protected:
    void openOn(const std::string& start) {
        openWindows();
        form().resize(1200, 800);
        form().show();
        form().selectFolderInTree(start);
        QApplication::processEvents();
    }
    // Where the folder's node is drawn in the tree (its ancestors opened).
    QPoint nodeOf(const std::string& folder) {
        const QModelIndex index = form().FolderModel->indexOf(folder);
        for (QModelIndex up = index.parent(); up.isValid(); up = up.parent()) form().ui.ShellTreeView1->expand(up);
        form().ui.ShellTreeView1->scrollTo(index);
        QApplication::processEvents();
        return form().ui.ShellTreeView1->visualRect(index).center();
    }
    void dropOn(const std::string& folder) { form().ShellTreeView1DragDrop(nodeOf(folder)); }
    void choose(int dropItem) { form().ui.RadioGroup2->setItemIndex(dropItem); }
};

// Runs xdotool with `steps` (its command words) and waits for it to end, the event loop
// running all the while: the drag it makes runs in the window's own loop.
bool xdotool(const QStringList& steps) {
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), steps);
    if (!tool.waitForStarted(3000)) return false;
    QElapsedTimer timer;
    timer.start();
    while (tool.state() != QProcess::NotRunning && timer.elapsed() < 15000) QTest::qWait(20);
    return tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

// The event loop runs until `done` or five seconds have passed (a gtest check, unlike
// QTRY_VERIFY, whose failure gtest would not see).
template <typename Done>
bool waitUntil(Done done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 5000) QTest::qWait(20);
    return done();
}

QStringList pointerDrag(const QPoint& from, const QPoint& to) {
    const auto at = [](const QPoint& p) { return QStringList{"mousemove", QString::number(p.x()), QString::number(p.y())}; };
    QStringList steps = at(from) + QStringList{"sleep", "0.3", "mousedown", "1", "sleep", "0.2"};
    for (const QPoint& step : {from + QPoint(12, 0), from + QPoint(30, 4), to - QPoint(20, 0), to})
        steps += at(step) + QStringList{"sleep", "0.2"};
    return steps + at(to + QPoint(2, 1)) + QStringList{"sleep", "0.4", "mouseup", "1"};
}

TEST_F(Transfers, ADropRightAfterStartTransfersNothing) {
    folder.write("In/a.mp3", "a");
    folder.makeFolder("Out");
    openOn(folder / "In");
    clickEntry("a.mp3");
    dropOn(folder / "Out");
    EXPECT_EQ(form().dropAction(), DropKind::Nothing);
    EXPECT_TRUE(folder.exists("In/a.mp3"));
    EXPECT_FALSE(folder.exists("Out/a.mp3"));
    EXPECT_EQ(form().FolderModel->pathOf(form().ui.ShellTreeView1->currentIndex()), folder / "Out");
    EXPECT_EQ(list().directory(), folder / "In") << "the list goes back to its folder";
    EXPECT_EQ(status(1), toQ(folder / "In"));
}

TEST_F(Transfers, MovingAndCopyingAFileAsksFirst) {
    folder.write("In/a.mp3", "a");
    folder.write("In/b.mp3", "b");
    folder.makeFolder("Out");
    openOn(folder / "In");
    choose(1);  // 移动
    clickEntry("a.mp3");
    const QString move = "Move " + toQ(folder / "In/a.mp3") + " to " + toQ(folder / "Out/a.mp3") + "?";
    prompts.expectConfirmation(move, false);
    dropOn(folder / "Out");
    EXPECT_TRUE(folder.exists("In/a.mp3"));
    EXPECT_FALSE(folder.exists("Out/a.mp3"));
    prompts.expectConfirmation(move, true);
    clickEntry("a.mp3");
    dropOn(folder / "Out");
    EXPECT_FALSE(folder.exists("In/a.mp3"));
    EXPECT_EQ(folder.read("Out/a.mp3"), "a");
    // A move is a batch of its own: 撤销更名 takes it back, and it can be made again.
    trigger("N50");
    EXPECT_EQ(folder.read("In/a.mp3"), "a");
    EXPECT_FALSE(folder.exists("Out/a.mp3"));
    prompts.expectConfirmation(move, true);
    clickEntry("a.mp3");
    dropOn(folder / "Out");
    EXPECT_EQ(folder.read("Out/a.mp3"), "a");

    choose(0);  // 复制
    clickEntry("b.mp3");
    prompts.expectConfirmation("Copy " + toQ(folder / "In/b.mp3") + " to " + toQ(folder / "Out/b.mp3") + "?", true);
    dropOn(folder / "Out");
    EXPECT_EQ(folder.read("In/b.mp3"), "b");
    EXPECT_EQ(folder.read("Out/b.mp3"), "b");

    // Another file under that name: a second question, and No transfers nothing.
    folder.write("In/b.mp3", "newer b");
    clickEntry("b.mp3");
    prompts.expectConfirmation("", true).expectQuestion("目标文件夹中已有同名文件：\n" + toQ(folder / "Out/b.mp3") + "\n是否替换它？", false);
    dropOn(folder / "Out");
    EXPECT_EQ(folder.read("Out/b.mp3"), "b");
    clickEntry("b.mp3");
    prompts.expectConfirmation("", true).expectQuestion("", true);
    dropOn(folder / "Out");
    EXPECT_EQ(folder.read("Out/b.mp3"), "newer b");
}

TEST_F(Transfers, FoldersInDirectoryModeAndDropsThatDoNothing) {
    folder.write("In/Album/a.mp3", "a");
    folder.write("In/Album/CD2/b.mp3", "b");
    folder.makeFolder("Out");
    openOn(folder / "In");
    form().ui.RadioGroup3->setItemIndex(1);  // 目录改名
    choose(1);
    choose(0);  // copy
    clickEntry("[Album]");
    prompts.expectQuestion("确定复制所有文件吗？\n不可撤销操作啊！！", true);
    dropOn(folder / "Out");
    EXPECT_EQ(folder.read("Out/Album/CD2/b.mp3"), "b");
    EXPECT_EQ(folder.read("In/Album/a.mp3"), "a");
    EXPECT_EQ(list().directory(), folder / "Out") << "after a folder copy the list shows the target";
    EXPECT_EQ(list().itemText(indexOf("[Album]")), "[Album]");

    form().selectFolderInTree(folder / "In");
    clickEntry("[.]");
    dropOn(folder / "Out");
    clickEntry("[..]");
    dropOn(folder / "Out");
    EXPECT_EQ(folder.names("Out"), std::vector<std::string>{"Album"});

    EXPECT_EQ(list().directory(), folder / "Out") << "a dot entry ends the drop on the target";

    // Never into itself: refused with the reason, nothing moved.
    form().selectFolderInTree(folder / "In");
    choose(1);
    clickEntry("[Album]");
    prompts.expectQuestion("确定移动所有文件吗？\n不可撤销操作啊！！", true)
        .expectError("不能把文件夹复制或移动到它自身或它的子文件夹中：" + toQ(folder / "In/Album"));
    dropOn(folder / "In/Album/CD2");
    EXPECT_EQ(folder.read("In/Album/CD2/b.mp3"), "b");
    EXPECT_EQ(folder.names("In/Album/CD2"), std::vector<std::string>{"b.mp3"});

    // Below the last node of the tree there is no folder to drop on.
    form().selectFolderInTree(folder / "In");
    clickEntry("[Album]");
    QTreeView* tree = form().ui.ShellTreeView1;
    form().ShellTreeView1DragDrop(QPoint(5, tree->viewport()->height() + 1000));
    EXPECT_EQ(list().directory(), folder / "In");
}

TEST_F(Transfers, DeletingInBothModes) {
    folder.write("Music/a.mp3", "a");
    folder.write("Music/Old/x.mp3", "x");
    folder.write("Music/Keep/y.mp3", "y");
    openOn(folder / "Music");
    clickEntry("a.mp3");
    trigger("N41");
    EXPECT_FALSE(folder.exists("Music/a.mp3")) << "a file goes without a question";

    form().ui.RadioGroup3->setItemIndex(1);
    clickEntry("[Keep]");
    prompts.expectQuestion("确定整个文件夹删除吗？？", false);
    folder.makeFolder("Music/New");  // made by another program meanwhile
    trigger("N41");
    EXPECT_TRUE(folder.exists("Music/Keep/y.mp3"));
    EXPECT_GE(indexOf("[New]"), 0) << "the list is read again all the same";
    clickEntry("[Old]");
    prompts.expectQuestion("确定整个文件夹删除吗？？", true);
    trigger("N41");
    EXPECT_FALSE(folder.exists("Music/Old"));
    EXPECT_EQ(status(), "已删除文件夹：" + toQ(folder / "Music/Old"));
    clickEntry("[..]");
    trigger("N41");  // nothing for [..]
    EXPECT_TRUE(folder.exists("Music"));

    // A file that cannot be deleted is named with the reason.
    form().ui.RadioGroup3->setItemIndex(0);
    folder.write("Music/stays.mp3", "s");
    trigger("N52");
    if (std::system(("chattr +i '" + folder / "Music/stays.mp3" + "' 2>/dev/null").c_str()) != 0) return;
    clickEntry("stays.mp3");
    trigger("N41");
    std::system(("chattr -i '" + folder / "Music/stays.mp3" + "'").c_str());
    EXPECT_TRUE(folder.exists("Music/stays.mp3"));
    EXPECT_TRUE(status().startsWith("stays.mp3删除不成功：")) << status().toStdString();
}

// 到回收站 through the desktop's real trash (in a trash of the test's own): a file in file
// mode, a whole folder in directory mode, nothing for the dot entries.
TEST_F(Transfers, ToTheTrashInBothModes) {
    folder.write("Music/a.mp3", "a");
    folder.write("Music/Album/b.mp3", "b");
    const std::string trash = folder / "data/Trash";
    ::setenv("XDG_DATA_HOME", (folder / "data").c_str(), 1);
    DesktopShell desktop;
    installShell(&desktop);
    openOn(folder / "Music");
    ASSERT_TRUE(form().FolderModel->indexOf(folder / "Music/Album").isValid());
    clickEntry("a.mp3");
    trigger("N45");
    form().ui.RadioGroup3->setItemIndex(1);
    clickEntry("[.]");
    trigger("N45");
    clickEntry("[..]");
    trigger("N45");
    clickEntry("[Album]");
    trigger("N45");
    installShell(&shell);
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(folder.names("Music"), std::vector<std::string>{});
    EXPECT_EQ(folder.names("data/Trash/files"), (std::vector<std::string>{"Album", "a.mp3"}));
    EXPECT_EQ(folder.names("data/Trash/info"), (std::vector<std::string>{"Album.trashinfo", "a.mp3.trashinfo"}));
    EXPECT_EQ(folder.read("data/Trash/files/Album/b.mp3"), "b");
    EXPECT_EQ(list().count(), 2) << "[.] and [..] are left";
    EXPECT_EQ(form().FolderModel->rowCount(form().FolderModel->indexOf(folder / "Music")), 0) << "the tree forgets the folder";

    // A refusal is named with its reason.
    form().ui.RadioGroup3->setItemIndex(0);
    folder.write("Music/c.mp3", "c");
    trigger("N52");
    shell.trashRefusal = "只读文件系统";
    clickEntry("c.mp3");
    trigger("N45");
    EXPECT_EQ(status(), "c.mp3未能移到回收站：只读文件系统");
}

// The offscreen platform ends every drag at once without a drop; the minimal platform carries
// drags out like a window system, and CTest runs this test there as well.
TEST_F(Transfers, ARealDragFromTheListOntoTheTree) {
    if (QGuiApplication::platformName() == "offscreen") GTEST_SKIP() << "drags need the minimal platform";
    folder.write("In/a.mp3", "a");
    folder.makeFolder("Out");
    openOn(folder / "In");
    choose(1);
    choose(0);
    const QPoint target = nodeOf(folder / "Out");
    TFileListBox& box = list();
    const QPoint start = box.visualRect(box.model()->index(indexOf("a.mp3"), 0)).center();
    prompts.expectConfirmation("", true);
    // The drag runs its own loop: the pointer moves on and is let go from inside it, as the
    // window system would report it to the window.
    QWindow* window = form().windowHandle();
    const QPoint over = form().ui.ShellTreeView1->viewport()->mapTo(&form(), target);
    QTimer::singleShot(50, [&] {
        QTest::mouseMove(window, over);
        QTest::mouseMove(window, over + QPoint(1, 1));
        QTest::mouseRelease(window, Qt::LeftButton, {}, over + QPoint(1, 1));
    });
    QTest::mousePress(box.viewport(), Qt::LeftButton, {}, start);
    QTest::mouseMove(box.viewport(), start + QPoint(QApplication::startDragDistance() + 5, 0));
    QTest::mouseMove(box.viewport(), start + QPoint(2 * QApplication::startDragDistance() + 10, 5));
    ASSERT_TRUE(waitUntil([&] { return folder.exists("Out/a.mp3"); }));
    EXPECT_EQ(folder.read("Out/a.mp3"), "a");
}

// The real thing on X11: the pointer moved by the X server's test extension drags an
// entry from the list onto a folder of the tree, copying and then moving; the drop is
// carried out after the drag has ended and the list was read again. The highlighted
// target then opens with one click.
TEST_F(Transfers, ARealPointerDragOnX11) {
    if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "needs an X server (xvfb-run) and xdotool";
    folder.write("In/copied.mp3", "c");
    folder.write("In/moved.mp3", "m");
    folder.makeFolder("Out");
    openOn(folder / "In");
    form().move(0, 0);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form()));
    QTreeView* tree = form().ui.ShellTreeView1;
    const auto entryOnScreen = [&](const QString& name) {
        TFileListBox& box = list();
        return box.viewport()->mapToGlobal(box.visualRect(box.model()->index(indexOf(name), 0)).center());
    };
    for (const bool move : {false, true}) {
        SCOPED_TRACE(move ? "move" : "copy");
        const QString name = move ? "moved.mp3" : "copied.mp3";
        // 复制 after 移动: a drop right after start transfers nothing.
        if (!move) choose(1);
        choose(move ? 1 : 0);
        const QPoint target = tree->viewport()->mapToGlobal(nodeOf(folder / "Out"));
        prompts.expectConfirmation(QStringLiteral("%1 %2 to %3?").arg(move ? "Move" : "Copy", toQ(folder / ("In/" + fromQ(name))),
                                                                       toQ(folder / ("Out/" + fromQ(name)))),
                                   true);
        const bool ran = xdotool(pointerDrag(entryOnScreen(name), target));
        ASSERT_TRUE(ran);
        ASSERT_TRUE(waitUntil([&] { return folder.exists("Out/" + fromQ(name)); }));
        EXPECT_EQ(folder.exists("In/" + fromQ(name)), !move);
        EXPECT_EQ(list().directory(), folder / "In") << "the list goes back to its folder";
    }
    // The tree keeps the target highlighted; a click on it shows it.
    const QPoint target = tree->viewport()->mapToGlobal(nodeOf(folder / "Out"));
    ASSERT_TRUE(xdotool({"mousemove", QString::number(target.x()), QString::number(target.y()), "sleep", "0.2", "click", "1",
                         "sleep", "0.3"}));
    EXPECT_TRUE(waitUntil([&] { return list().directory() == folder / "Out"; }));
}

TEST_F(Transfers, TheAboutBoxHelpAndExit) {
    openWindows();
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<TForm2*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), "关于");
        EXPECT_GE(box->width(), 305);
        EXPECT_GE(box->height(), 155);
        EXPECT_EQ(box->minimumSize(), box->maximumSize()) << "a box of fixed size";
        EXPECT_EQ(box->ui.Label4->text(), "4    .  0   ");
        EXPECT_EQ(box->ui.Label6->text(), "2004 . 2 . 7");
        const QColor normal = box->ui.Label8->palette().color(QPalette::WindowText);
        for (int pass = 0; pass < 3; ++pass) {
            QEvent enter(QEvent::Enter);
            QApplication::sendEvent(box->ui.Label8, &enter);
            EXPECT_EQ(box->ui.Label8->palette().color(QPalette::WindowText), QColor(0, 0, 255));
            EXPECT_TRUE(box->ui.Label8->font().underline());
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(box->ui.Label8, &leave);
            EXPECT_EQ(box->ui.Label8->palette().color(QPalette::WindowText), normal);
            EXPECT_FALSE(box->ui.Label8->font().underline());
        }
        QTest::mouseClick(box->ui.Label8, Qt::LeftButton);
        box->ui.Button1->click();
    });
    trigger("N3");
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].action, "mail");
    EXPECT_EQ(shell.calls[0].target, TForm2::kAddress.toStdString());

    // The picture in the bottom panel opens the box too.
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    QTest::mouseClick(form().ui.Image1, Qt::LeftButton);
    EXPECT_EQ(form().findChildren<TForm2*>().size(), 2) << "a new box each time, owned by the main window";

    // The help is found next to the program whatever the current folder.
    setCurrentDirectory("/");
    trigger("N47");
    setCurrentDirectory(folder.path());
    ASSERT_EQ(shell.calls.back().action, "help");
    EXPECT_TRUE(shell.calls.back().target.ends_with("/help.html"));
    EXPECT_TRUE(isFile(shell.calls.back().target));

    form().show();
    trigger("N8");
    EXPECT_FALSE(form().isVisible());
}

}  // namespace
}  // namespace quilvane::test
