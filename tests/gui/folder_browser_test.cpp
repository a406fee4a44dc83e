// The folder tree, the list's clicks and double clicks, the information panel with its
// statistics, attributes, tag panel and picture preview, and the window's layout rules.
#include <QImage>
#include <QLabel>
#include <QSplitter>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/codepage.h"
#include "platform/paths.h"
#include "platform/qt/properties_dialog.h"
#include "platform/qt/qtext.h"
#include "support/gui_fixture.h"
#include "tags/tag_block.h"

namespace quilvane::test {
namespace {

std::string taggedMp3(const std::string& title, std::uint8_t genre = 17) {
    const TagBlock tag = buildTagBlock(utf8ToLegacy(title), "Tom", "Sky", "1999", "Nice", genre);
    return std::string(500, 'a') + std::string(tag.bytes.data(), 128);
}

class FolderBrowser : public WindowTest {
protected:
    void folderMode() { form().ui.RadioGroup3->setItemIndex(1); }
};

TEST_F(FolderBrowser, ChoosingAFolderMakesItCurrentAndClearsTheEditingArea) {
    folder.write("Music/a.mp3");
    openWindows();
    form().setMemoLines({"old", "lines"});
    form().selectFolderInTree(folder / "Music");
    EXPECT_EQ(list().directory(), folder / "Music");
    EXPECT_EQ(currentDirectory(), folder / "Music");
    EXPECT_EQ(status(1), "当前文件夹  " + toQ(folder / "Music"));
    EXPECT_EQ(form().memoLines(), QStringList{});
    ASSERT_EQ(list().count(), 1);
    EXPECT_EQ(list().itemText(0), "a.mp3");
}

TEST_F(FolderBrowser, FolderModeClicksAndTheirStatistics) {
    folder.write("Album/a.mp3", std::string(100, 'a'));
    folder.write("Album/h.txt", "hello");
    folder.write("Album/.hidden", "not counted");
    folder.write("Album/Sub/x.mp3", std::string(10, 'x'));
    openWindows();
    folderMode();
    form().ui.CheckBox7->setChecked(true);
    const QString labelBefore = form().ui.Label1->text();
    clickEntry("[.]");
    clickEntry("[..]");
    EXPECT_EQ(form().ui.Label1->text(), labelBefore);
    EXPECT_TRUE(form().selectedPath().empty());
    EXPECT_EQ(form().runningStatistics(), 0) << "no worker for [.] and [..]";

    clickEntry("[Album]");
    EXPECT_EQ(form().ui.Label1->text(), "目录信息：Album");
    EXPECT_EQ(form().selectedPath(), folder / "Album");
    ASSERT_TRUE(QTest::qWaitFor([&] { return form().ui.Label3->text() == "文件大小：115字节"; }, 10000))
        << form().ui.Label3->text().toStdString();
    EXPECT_EQ(form().ui.Label2->text(), "1个子文件夹，3个文件");
    EXPECT_EQ(currentDirectory(), folder.path()) << "the worker walks by full paths";

    // At the root no "/" is doubled.
    form().ui.FileListBox1->setDirectory("/");
    form().ui.CheckBox7->setChecked(false);
    clickEntry("[tmp]");
    EXPECT_EQ(form().selectedPath(), "/tmp");
}

TEST_F(FolderBrowser, FileModeShowsTimeFullSizeAndAttributes) {
    const std::string huge = folder.write("huge.mp3");
    ASSERT_EQ(::truncate(huge.c_str(), std::int64_t{5} << 30), 0);
    folder.write("ro.txt", "x");
    ::chmod((folder / "ro.txt").c_str(), 0444);
    openWindows();
    clickEntry("huge.mp3");
    EXPECT_EQ(form().ui.Label1->text(), "文件信息：huge.mp3");
    EXPECT_EQ(form().ui.Label3->text(), "文件大小: 5368709120 字节");
    EXPECT_TRUE(form().ui.Label2->text().startsWith("修改时间: "));

    clickEntry("ro.txt");
    EXPECT_TRUE(form().ui.ReadOnly->isChecked());
    EXPECT_FALSE(form().ui.Hidden->isChecked());
    EXPECT_FALSE(form().ui.System->isEnabled());
    EXPECT_FALSE(form().ui.Archive->isEnabled());
    form().ui.ReadOnly->setChecked(false);
    click("Button2");
    struct stat st {};
    ::stat((folder / "ro.txt").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0644u) << "only read-only is cleared";
}

TEST_F(FolderBrowser, TheTagPanelShowsAndWritesTheId3v1Block) {
    folder.write("song.MP3", taggedMp3("后来"));
    folder.write("Song.Mp3", taggedMp3("Two"));
    folder.write("plain.mp3", std::string(300, 'p'));
    folder.write("nogenre.mp3", taggedMp3("Rain", 255));
    folder.write("notes.mp3x", taggedMp3("x"));
    openWindows();
    const Ui::TForm1& ui = form().ui;
    for (const char* name : {"song.MP3", "Song.Mp3"}) {
        clickEntry(name);
        EXPECT_FALSE(ui.Panel9->isHidden()) << name;
        EXPECT_TRUE(ui.Panel10->isHidden());
    }
    clickEntry("song.MP3");
    EXPECT_EQ(ui.Edit1->text(), "后来");
    EXPECT_EQ(ui.Edit2->text(), "Tom");
    EXPECT_EQ(ui.Edit7->text(), "1999");
    EXPECT_EQ(ui.ComboBox1->currentText(), "Rock");

    clickEntry("plain.mp3");
    EXPECT_FALSE(ui.Panel9->isHidden());
    for (QLineEdit* box : {ui.Edit1, ui.Edit2, ui.Edit6, ui.Edit7, ui.Edit8}) EXPECT_TRUE(box->text().isEmpty());
    EXPECT_TRUE(ui.ComboBox1->currentText().isEmpty());

    clickEntry("nogenre.mp3");
    EXPECT_EQ(ui.Edit1->text(), "Rain");
    EXPECT_EQ(ui.ComboBox1->currentIndex(), -1);
    ui.Edit1->setText("下雨");
    click("Button3");
    const TagBlock written = readTagBlock(folder / "nogenre.mp3");
    EXPECT_EQ(written.text(tagfield::Title), "下雨");
    EXPECT_EQ(written.text(tagfield::Comment), "Nice");
    EXPECT_EQ(written.genre(), 255) << "no genre chosen writes 255";
    EXPECT_EQ(folder.read("nogenre.mp3").size(), 628u);

    // Another program's edit since the panel was filled is shown, not written over.
    TagBlock theirs = written;
    theirs.setField(tagfield::Artist, "Them");
    const std::string edited = folder.read("nogenre.mp3").substr(0, 500) + std::string(theirs.bytes.data(), 128);
    folder.write("nogenre.mp3", edited);
    ui.Edit1->setText("Mine");
    prompts.expectError(QStringLiteral("文件 %1 已被其他程序修改，请刷新后再改；未作修改").arg(toQ(folder / "nogenre.mp3")));
    click("Button3");
    EXPECT_EQ(folder.read("nogenre.mp3"), edited);
    EXPECT_EQ(ui.Edit2->text(), "Them") << "the panel shows what the file now holds";

    clickEntry("notes.mp3x");
    EXPECT_TRUE(ui.Panel9->isHidden());
    EXPECT_TRUE(ui.Panel10->isHidden());
}

// The panel shows the list's entry or nothing: an entry deleted, or a list that shows
// another folder, takes the panel's information with it; one still listed keeps it.
TEST_F(FolderBrowser, ThePanelForgetsAnEntryTheListNoLongerHas) {
    folder.write("a.mp3", taggedMp3("Gone"));
    folder.write("b.mp3", taggedMp3("Stays"));
    folder.write("Other/c.txt", "c");
    openWindows();
    const Ui::TForm1& ui = form().ui;
    clickEntry("b.mp3");
    list().reread();
    EXPECT_EQ(ui.Label1->text(), "文件信息：b.mp3") << "a file still listed stays shown";
    EXPECT_FALSE(ui.Panel9->isHidden());

    clickEntry("a.mp3");
    EXPECT_EQ(ui.Edit1->text(), "Gone");
    trigger("N41");  // 删除
    EXPECT_FALSE(folder.exists("a.mp3"));
    EXPECT_EQ(ui.Label1->text(), "文件信息：");
    EXPECT_EQ(ui.Label3->text(), "文件大小：");
    EXPECT_TRUE(ui.Panel9->isHidden());
    ui.Edit1->setText("Written nowhere");
    click("Button3");
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"Other", "b.mp3"}));

    clickEntry("b.mp3");
    form().selectFolderInTree(folder / "Other");
    EXPECT_EQ(ui.Label1->text(), "文件信息：");
    EXPECT_TRUE(ui.Panel9->isHidden());
}

TEST_F(FolderBrowser, PicturesArePreviewedAndEnlarged) {
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(Qt::red);
    for (const char* name : {"a.bmp", "b.jpg", "c.JPEG", "d.ico"}) ASSERT_TRUE(image.save(toQ(folder / name)));
    ASSERT_TRUE(image.save(toQ(folder / "gbk.bmp")));
    const std::string gbkName = "\xCD\xBC.bmp";  // "图.bmp" in GBK, not valid UTF-8
    ASSERT_EQ(::rename((folder / "gbk.bmp").c_str(), (folder / gbkName).c_str()), 0);
    folder.write("broken.jpg", "not a picture");
    openWindows();
    form().resize(1000, 700);
    form().show();
    const Ui::TForm1& ui = form().ui;
    for (const char* name : {"a.bmp", "b.jpg", "c.JPEG", "d.ico"}) {
        clickEntry(name);
        EXPECT_FALSE(ui.Panel10->isHidden()) << name;
        EXPECT_FALSE(ui.Image2->pixmap().isNull()) << name;
    }
    clickEntry("broken.jpg");
    EXPECT_EQ(ui.Image2->text(), "无法显示该图片");
    for (int i = 0; i < list().count(); ++i)
        if (list().itemBytes(i) == gbkName) list().clickItem(i);
    EXPECT_FALSE(ui.Image2->pixmap().isNull()) << "a name in the legacy code page is previewed too";

    clickEntry("b.jpg");
    QTest::mouseDClick(ui.Image2, Qt::LeftButton);
    EXPECT_TRUE(ui.BitBtn3->isVisible());
    EXPECT_TRUE(ui.Image3->isVisible());
    EXPECT_FALSE(ui.FileListBox1->isVisible());
    EXPECT_FALSE(ui.Memo1->isVisible());
    click("BitBtn3");
    EXPECT_FALSE(ui.BitBtn3->isVisible());
    EXPECT_TRUE(ui.FileListBox1->isVisible());

    QTest::mouseDClick(ui.Image2, Qt::LeftButton);
    folder.makeFolder("Other");
    form().selectFolderInTree(folder / "Other");
    EXPECT_FALSE(ui.Image3->isVisible()) << "a folder change leaves the enlarged picture";
    EXPECT_TRUE(ui.HeaderControl1->isVisible());
}

TEST_F(FolderBrowser, DoubleClicksAndShellCommands) {
    folder.write("A/B/song.mp3");
    openWindows();
    form().selectFolderInTree(folder / "A/B");
    list().setItemIndex(indexOf("song.mp3"));
    trigger("N44");
    trigger("N53");
    trigger("N42");
    ASSERT_EQ(shell.calls.size(), 3u);
    EXPECT_EQ(shell.calls[0].action, "open");
    EXPECT_EQ(shell.calls[0].target, folder / "A/B/song.mp3");
    EXPECT_EQ(shell.calls[1].action, "properties");
    EXPECT_EQ(shell.calls[1].target, folder / "A/B/song.mp3");
    EXPECT_EQ(shell.calls[2].action, "showFolder");
    EXPECT_EQ(shell.calls[2].target, folder / "A/B");

    folderMode();
    list().setItemIndex(indexOf("[.]"));
    form().FileListBox1DblClick();
    EXPECT_EQ(list().directory(), folder / "A") << "[.] goes one level up";
    list().setItemIndex(indexOf("[B]"));
    form().FileListBox1DblClick();
    EXPECT_EQ(list().directory(), folder / "A/B");
    list().setItemIndex(indexOf("[..]"));
    trigger("N53");
    EXPECT_EQ(shell.calls.size(), 3u) << "no properties for [..]";
    form().FileListBox1DblClick();
    EXPECT_EQ(list().directory(), "/") << "[..] goes to the root";

    QTest::keyClick(form().ui.FileListBox1, Qt::Key_A);
    EXPECT_EQ(status(), "65");
    QTest::keyClick(form().ui.FileListBox1, Qt::Key_Down);
    EXPECT_EQ(status(), "40");
}

TEST_F(FolderBrowser, LayoutLimitsAndTheCollapsingPanel) {
    openWindows();
    form().resize(1200, 800);
    form().show();
    QApplication::processEvents();
    const Ui::TForm1& ui = form().ui;
    EXPECT_EQ(ui.Panel9->isHidden(), true);

    click("BitBtn2");
    EXPECT_EQ(ui.Panel7->height(), 20);
    EXPECT_EQ(ui.BitBtn2->text(), "︽");
    click("BitBtn2");
    EXPECT_EQ(ui.Panel7->height(), 150);
    EXPECT_EQ(ui.BitBtn2->text(), "︾");
    const int tree = ui.Splitter3->sizes()[0] + ui.Splitter3->sizes()[1];
    ui.Splitter3->setSizes({tree - 300, 300});
    EXPECT_EQ(ui.Panel7->height(), 150);

    ui.Splitter1->setSizes({500, 700});
    EXPECT_EQ(ui.Panel6->width(), 387);
    ui.Splitter2->setSizes({500, 120});
    EXPECT_EQ(ui.Panel4->height(), 81);

    ui.Splitter1->setSizes({387, 700});
    QApplication::processEvents();
    const int half = ui.Panel2->width() / 2;
    EXPECT_EQ(ui.FileListBox1->width(), half);
    EXPECT_EQ(ui.Memo1->width(), half);
    EXPECT_EQ(ui.HeaderControl1->sectionSize(0), half);
}

// On a small screen (1024 pixels wide) the window fits, and at the smallest size it
// allows, with the tag panel shown and the left half as narrow as it goes, every control
// of the bottom panel and of the information panel has the room it needs: none is
// pressed under another.
TEST_F(FolderBrowser, AtItsSmallestTheWindowPressesNoControlUnderAnother) {
    folder.write("a song with a rather long name, as downloads have them.mp3", taggedMp3("Title"));
    openWindows();
    form().show();
    form().resize(1, 1);
    QApplication::processEvents();
    EXPECT_LE(form().width(), 1024);
    EXPECT_LE(form().height(), 600);
    clickEntry("a song with a rather long name, as downloads have them.mp3");
    const Ui::TForm1& ui = form().ui;
    ui.Splitter1->setSizes({1, 2000});
    QApplication::processEvents();
    ASSERT_FALSE(ui.Panel9->isHidden());
    const auto roomy = [](QWidget* parent) {
        for (QWidget* child : parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (child->isHidden() || child->sizePolicy().horizontalPolicy() == QSizePolicy::Ignored) continue;
            // What the layout grants at least: an explicit minimum, else the hint, within
            // an explicit maximum.
            const int least = std::min(child->maximumWidth(),
                                       child->minimumWidth() > 0 ? child->minimumWidth() : child->minimumSizeHint().width());
            EXPECT_GE(child->width(), least) << qPrintable(child->objectName());
        }
    };
    for (QWidget* panel : {static_cast<QWidget*>(ui.Panel4), static_cast<QWidget*>(ui.GroupBox2),
                           static_cast<QWidget*>(ui.Panel7), static_cast<QWidget*>(ui.Panel8),
                           static_cast<QWidget*>(ui.GroupBox1), static_cast<QWidget*>(ui.Panel9)})
        roomy(panel);
    EXPECT_LE(ui.Panel8->geometry().right(), ui.Panel9->geometry().left()) << "the two panels side by side";
}

TEST_F(FolderBrowser, NamesThatAreNotUtf8AreListedPreviewedRenamedAndRestored) {
    const std::string gbkName = "\xB8\xE8\xC7\xFA.mp3";  // "歌曲.mp3" in GBK
    folder.write("Tom/" + gbkName, taggedMp3("Rain"));
    openWindows();
    form().selectFolderInTree(folder / "Tom");
    ASSERT_EQ(list().count(), 1);
    EXPECT_EQ(list().itemBytes(0), gbkName);
    EXPECT_EQ(list().itemText(0), "歌曲.mp3") << "shown in Chinese";
    list().clickItem(0);
    EXPECT_EQ(form().ui.Edit1->text(), "Rain");
    EXPECT_EQ(form().ui.Label1->text(), "文件信息：歌曲.mp3");

    // A new name is UTF-8; the undo gives the file its own bytes back.
    form().ui.RadioGroup1->setItemIndex(1);
    trigger("N14");
    EXPECT_EQ(folder.names("Tom"), std::vector<std::string>{"Tom - 歌曲.mp3"});
    trigger("N50");
    EXPECT_EQ(folder.names("Tom"), std::vector<std::string>{gbkName});

    // Manual naming: the line as shown leaves the file alone, an edited line renames it.
    trigger("N43");  // 复制文件名
    EXPECT_EQ(form().memoLines(), QStringList{"歌曲.mp3"});
    click("BitBtn6");
    EXPECT_EQ(status(), "0个文件已按指定名字重命名");
    EXPECT_EQ(folder.names("Tom"), std::vector<std::string>{gbkName});
    form().setMemoLines({"新歌.mp3"});
    click("BitBtn6");
    EXPECT_EQ(folder.names("Tom"), std::vector<std::string>{"新歌.mp3"});
    trigger("N50");
    EXPECT_EQ(folder.names("Tom"), std::vector<std::string>{gbkName}) << "its exact bytes";

    // A line that still holds an unreadable character is refused, and said so.
    form().setMemoLines({"坏\xEF\xBF\xBD名.mp3"});
    prompts.expectNotice("");
    click("BitBtn6");
    ASSERT_FALSE(prompts.shown().empty());
    EXPECT_TRUE(prompts.shown().back().text.contains("第1行"));
    EXPECT_EQ(folder.names("Tom"), std::vector<std::string>{gbkName});
}

}  // namespace
}  // namespace quilvane::test

namespace quilvane::test {
namespace {

// The desktop shell's properties window is the program's own.
TEST(PropertiesWindow, ShowsNameFolderTypeSizeTimePermissionsAndOwner) {
    TempFolder folder;
    const std::string path = folder.write("song.mp3", std::string(4096, 'x'));
    ::chmod(path.c_str(), 0640);
    PropertiesDialog dialog(nullptr, path);
    QStringList texts;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) texts << label->text();
    for (const QString& expected : {QString("song.mp3"), toQ(folder.path()), QString("文件"), QString("4096 字节"),
                                    QString("rw-r-----")})
        EXPECT_TRUE(texts.contains(expected)) << expected.toStdString() << " in " << texts.join(" | ").toStdString();
    EXPECT_EQ(texts.filter(" / ").size(), 1) << "owner and group";
    EXPECT_EQ(dialog.windowTitle(), "属性");
}

}  // namespace
}  // namespace quilvane::test
