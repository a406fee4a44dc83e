// The program as it opens: its windows, the main window's controls and state, its
// menus and toolbar in order.
#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <stdexcept>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include "files/gui/sort_form.h"
#include "naming/gui/form5.h"
#include "support/gui_fixture.h"
#include "tageditor/gui/form4.h"
#include "tageditor/gui/v1v2_dialog.h"

namespace quilvane::test {
namespace {

using StartUp = WindowTest;

// "name caption" of every item, depth first, sub-menus by their own name.
QStringList menuItems(const QList<QAction*>& actions) {
    QStringList items;
    for (QAction* a : actions) {
        if (a->isSeparator()) continue;
        const QString name = a->menu() ? a->menu()->objectName() : a->objectName();
        items << name + ' ' + a->text();
        if (a->menu()) items << menuItems(a->menu()->actions());
    }
    return items;
}

TEST_F(StartUp, WindowsExistWithTheirCaptionsAndTheMainOneOpensMaximized) {
    openWindows();
    windows->showMainWindow();
    EXPECT_EQ(form().windowTitle(), "Quilvane");
    EXPECT_TRUE(form().windowState() & Qt::WindowMaximized);
    EXPECT_EQ(windows->SortForm->windowTitle(), "文件归类");
    EXPECT_EQ(windows->V1V2Dialog->windowTitle(), "ID3信息修改");
    EXPECT_EQ(windows->Form4->windowTitle(), "曲目信息");
    for (QWidget* w : {static_cast<QWidget*>(windows->SortForm.get()),
                       static_cast<QWidget*>(windows->V1V2Dialog.get()),
                       static_cast<QWidget*>(windows->Form4.get())})
        EXPECT_FALSE(w->isVisible());
    ASSERT_NE(form().Form5, nullptr);
    EXPECT_EQ(form().Form5->parent(), &form());
    EXPECT_EQ(form().Form5->windowTitle(), "命名格式选择");
    EXPECT_FALSE(form().Form5->isVisible());
}

TEST_F(StartUp, StateAndControlsAfterFormCreate) {
    folder.write("b.mp3");
    folder.write("A.txt");
    folder.write(".hidden");
    folder.makeFolder("Sub");
    openWindows();
    const Ui::TForm1& ui = form().ui;

    EXPECT_EQ(status(0), "欢迎使用Quilvane!");
    EXPECT_EQ(status(2), "作者: Orvek");
    EXPECT_FALSE(ui.N50->isEnabled());
    EXPECT_FALSE(ui.BitBtn7->isEnabled());
    EXPECT_FALSE(ui.Button1->isEnabled());
    EXPECT_EQ(form().dropAction(), DropKind::Nothing);
    EXPECT_EQ(form().nameStyle(), NameStyle::None);
    EXPECT_EQ(form().sepChar(), "-");
    EXPECT_EQ(form().renamedCount(), 0);
    EXPECT_TRUE(form().editBackup().isEmpty());
    EXPECT_TRUE(form().undoList().empty());

    EXPECT_FALSE(ui.Edit3->isEnabled());
    EXPECT_EQ(ui.Edit3->text(), " -");
    EXPECT_TRUE(ui.CheckBox1->isChecked());
    EXPECT_FALSE(ui.Edit5->isEnabled());
    EXPECT_EQ(ui.Edit5->text(), "默认以所在文件夹名为歌手名");
    EXPECT_FALSE(ui.Edit4->isEnabled());
    EXPECT_EQ(ui.Edit4->text(), "原后缀");
    EXPECT_FALSE(ui.CheckBox2->isChecked());

    EXPECT_EQ(ui.RadioGroup1->itemIndex(), -1);
    EXPECT_EQ(ui.RadioGroup3->itemIndex(), 0);
    EXPECT_EQ(ui.RadioGroup2->itemIndex(), 0) << "复制 shows as chosen, yet a drop does nothing";
    EXPECT_TRUE(ui.RadioButton2->isChecked());
    EXPECT_FALSE(ui.RadioButton1->isChecked());
    for (QCheckBox* box : {ui.CheckBox3, ui.CheckBox4, ui.CheckBox5, ui.CheckBox6, ui.CheckBox7})
        EXPECT_FALSE(box->isChecked()) << box->objectName().toStdString();
    EXPECT_TRUE(ui.CheckBox8->isChecked());
    EXPECT_EQ(ui.CheckBox8->text(), " ID3v1优先");

    EXPECT_EQ(form().memoLines(), QStringList{});
    EXPECT_EQ(ui.Memo1->toolTip(), "编辑框");
    EXPECT_EQ(ui.Memo1->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(ui.HeaderControl1->sections(), (QStringList{"文件名列表区(对应硬盘)", "手工编辑区"}));

    // The list shows the start-up working directory with every file, in file mode.
    EXPECT_EQ(ui.FileListBox1->directory(), folder.path());
    EXPECT_EQ(ui.FileListBox1->mask(), "*.*");
    ASSERT_EQ(ui.FileListBox1->count(), 2);
    EXPECT_EQ(ui.FileListBox1->itemText(0), "A.txt");
    EXPECT_EQ(ui.FileListBox1->itemText(1), "b.mp3");
    EXPECT_EQ(ui.FilterComboBox1->count(), 15);
    EXPECT_EQ(ui.FilterComboBox1->itemText(11), "Jpg File(*.jpg) ");
}

TEST_F(StartUp, EveryCommandIsPresentInOrderWithItsCaption) {
    openWindows();
    const QStringList expected{
        "N4 文件名管理", "N5 列举文件名", "N6 统计文件数", "N42 打开当前文件夹", "N8 退出",
        "N9 简单命名", "N1 全部命名", "N14 部分命名", "N54 文件归类",
        "MP31 MP3曲目信息", "ID32 用ID3v1重命名（全部）", "ID31 用ID3v1重命名（局部）",
        "V1V21 V1V2批量修改", "N40 显示所有ID信息",
        "MP3v11 提取单项MP3v1", "N24 提取标题", "N25 提取歌手", "N26 提取专辑", "N29 提取流派",
        "N27 提取时间", "N28 提取注释",
        "MP3v12 修改单项MP3v1", "N30 修改标题", "N32 修改专辑", "N31 修改歌手", "N35 修改流派",
        "N33 修改时间", "N34 修改注释",
        "ID3v11 ID3v1特定应用", "MP32 提取指定MP3专辑信息", "MP33 提取指定MP3时间信息",
        "N37 搜索多个文件", "N39 列举所有流派", "N55 修复乱码标签和文件名…",
        "N10 编辑区操作", "N2 手工命名", "N21 从文件中加载", "N7 保存编辑区内容", "N18 清除编辑区内容",
        "N11 大写文件名", "N12 小写文件名", "N22 去除前面数字", "N20 截去分隔符前面的字符串",
        "N38 截去分隔符后面的字符串", "N19 添加序号（加分格隔）", "N48 添加前缀（指定分隔符）",
        "N49 添加后缀（指定分隔符）", "N13 去除后缀名", "N15 消除空行", "N16 消除空格",
        "N17 最优格式化（首字母大写）", "N36 替换所有行", "N43 复制文件名",
        "N51 撤销", "N50 撤销更名", "N46 帮助", "N47 帮助", "N3 关于"};
    EXPECT_EQ(menuItems(form().ui.MainMenu1->actions()), expected);
    EXPECT_EQ(menuItems(form().PopupMenu1->actions()),
              (QStringList{"N23 曲目信息", "N44 打开", "N41 删除", "N52 刷新", "N45 到回收站",
                           "N53 文件属性"}));

    QStringList toolbar;
    QLayout* band = form().ui.Panel12->layout();
    for (int i = 0; i < band->count(); ++i)
        if (auto* b = qobject_cast<QPushButton*>(band->itemAt(i)->widget()))
            toolbar << b->objectName() + ' ' + b->text();
    EXPECT_EQ(toolbar, (QStringList{"BitBtn4 简单命名", "BitBtn5 ID3命名", "BitBtn6 手工命名",
                                    "BitBtn7 撤销更名", "BitBtn8 ID3修改"}));
}

TEST_F(StartUp, TheModeSwitchTurnsTheWindowToFoldersAndBack) {
    folder.write("song.mp3");
    folder.makeFolder("Album");
    openWindows();
    const Ui::TForm1& ui = form().ui;
    ui.RadioGroup3->setItemIndex(1);
    EXPECT_FALSE(ui.N9->menuAction()->isEnabled());
    EXPECT_FALSE(ui.MP31->menuAction()->isEnabled());
    EXPECT_FALSE(ui.N23->isEnabled());
    for (QWidget* w : std::initializer_list<QWidget*>{ui.GroupBox2, ui.CheckBox2, ui.CheckBox3, ui.Edit4, ui.BitBtn4, ui.BitBtn5})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_EQ(ui.Label1->text(), "目录信息");
    EXPECT_EQ(ui.Label2->text(), "文件个数：");
    EXPECT_EQ(ui.Label3->text(), "总大小：");
    EXPECT_EQ(ui.GroupBox1->title(), "目录属性");
    ASSERT_EQ(ui.FileListBox1->count(), 3);
    EXPECT_EQ(ui.FileListBox1->itemText(2), "[Album]");

    ui.RadioGroup3->setItemIndex(0);
    EXPECT_TRUE(ui.BitBtn4->isEnabled());
    EXPECT_EQ(ui.Label2->text(), "修改时间：");
    ASSERT_EQ(ui.FileListBox1->count(), 1);
    EXPECT_EQ(ui.FileListBox1->itemText(0), "song.mp3");
}

}  // namespace
}  // namespace quilvane::test

namespace quilvane::test {
namespace {

// A command that fails in a way it does not handle itself.
class FailingCommand : public QObject {
public:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) throw std::runtime_error("Cannot open file /gone.mp3");
        return QObject::event(e);
    }
};

TEST_F(StartUp, AnUnhandledErrorIsShownAndTheProgramCarriesOn) {
    openWindows();
    FailingCommand command;
    prompts.expectError("Cannot open file /gone.mp3");
    QEvent event(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&command, &event));
    click("CheckBox1");
    EXPECT_TRUE(form().ui.Edit3->isEnabled()) << "the window still works";
}

}  // namespace
}  // namespace quilvane::test
