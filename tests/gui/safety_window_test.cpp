// What the main window does when the disk does not go along: an undo that cannot restore
// every name, pipes that look like music files.
#include <QTimer>
#include <sys/stat.h>
#include <unistd.h>

#include "naming/gui/form5.h"
#include "platform/codepage.h"
#include "platform/paths.h"
#include "platform/qt/qtext.h"
#include "support/gui_fixture.h"
#include "tageditor/gui/form4.h"
#include "tags/tag_block.h"

namespace quilvane::test {
namespace {

using SafetyWindow = WindowTest;

// An undo counts the names it restored and names the ones it could not: a file that
// took an old name meanwhile keeps it, and the renamed file stays where it is.
TEST_F(SafetyWindow, UndoCountsWhatItRestoredAndNamesWhatItCouldNot) {
    folder.write("a.mp3", "a");
    folder.write("b.mp3", "b");
    openWindows();
    const std::string dirName = fileNameOf(folder.path());
    form().ui.RadioGroup1->setItemIndex(1);  // 歌手-歌名
    trigger("N14");
    ASSERT_EQ(status(), "2个文件已按指定格式重命名");
    folder.write("a.mp3", "a newer file that took the old name");

    prompts.expectNotice("");
    trigger("N50");
    EXPECT_EQ(status(), "1个文件撤销完成");
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_TRUE(prompts.shown()[0].text.startsWith("1个文件未能恢复原名"));
    EXPECT_TRUE(prompts.shown()[0].text.contains(toQ(folder / (dirName + " - a.mp3"))));
    EXPECT_EQ(folder.read("a.mp3"), "a newer file that took the old name");
    EXPECT_EQ(folder.read(dirName + " - a.mp3"), "a");
    EXPECT_EQ(folder.read("b.mp3"), "b");
}

// A pipe named like a song or a picture would block whoever reads it: clicking it, and
// ID3 naming over it, pass it by.
TEST_F(SafetyWindow, PipesNamedLikeMusicOrPicturesNeverBlockTheWindow) {
    ::alarm(30);  // a read of a pipe would hang the test: end it instead
    ASSERT_EQ(::mkfifo((folder / "pipe.mp3").c_str(), 0644), 0);
    ASSERT_EQ(::mkfifo((folder / "pipe.jpg").c_str(), 0644), 0);
    const TagBlock tag = buildTagBlock("Rain", "Tom", "", "", "", 12);
    folder.write("song.mp3", std::string(300, 'a') + std::string(tag.bytes.data(), 128));
    openWindows();

    clickEntry("pipe.mp3");
    EXPECT_TRUE(form().ui.Panel9->isHidden()) << "no tag panel for a pipe";
    clickEntry("pipe.jpg");
    EXPECT_TRUE(form().ui.Panel10->isHidden()) << "no picture for a pipe";

    TForm5* chooser = form().Form5;
    QTimer::singleShot(0, chooser, [chooser] {
        chooser->ui.ComboBox1->setEditText("T");
        chooser->ui.BitBtn1->click();
    });
    trigger("ID31");
    EXPECT_EQ(status(), "被重命名的文件数为1");
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"Rain.mp3", "pipe.jpg", "pipe.mp3"}));

    // Writing a field back, looking names up, listing every tag: the pipe is passed over
    // and the command ends as it would without it (no error box: the fixture fails on one).
    trigger("N52");  // 刷新
    form().setMemoLines({"New", "x", "y"});  // Rain.mp3, pipe.jpg, pipe.mp3
    trigger("N30");  // 修改标题
    EXPECT_EQ(status(), "1个文件修改标题成功");
    form().setMemoLines({"pipe.mp3", "Rain"});
    trigger("MP32");  // 提取指定MP3专辑信息
    EXPECT_EQ(form().ui.FileListBox1->itemIndex(), indexOf("Rain.mp3")) << "the look-up went on past the pipe";
    trigger("N40");  // 显示所有ID信息
    EXPECT_EQ(windows->Form4->model().rowCount(), 1);
    ::alarm(0);
}

}  // namespace
}  // namespace quilvane::test
