// Naming batches whose new names are names the batch itself still holds (swaps, cycles,
// numbering shifted by one), through the main window; and a batch cut short by a killed
// process, undone by the next window started on the same state folder.
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <map>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "naming/gui/form5.h"
#include "platform/codepage.h"
#include "platform/qt/qtext.h"
#include "support/folder_snapshot.h"
#include "support/gui_fixture.h"
#include "support/journal_files.h"
#include "tags/tag_block.h"

extern char** environ;

namespace quilvane::test {
namespace {

std::string numbered(int n) {
    char name[32];
    std::snprintf(name, sizeof name, "%04d song.mp3", n);
    return name;
}

std::string taggedMp3(const std::string& title, int n) {
    const TagBlock tag = buildTagBlock(utf8ToLegacy(title), "Tom", "", "2004", "", 17);
    return "audio of file " + std::to_string(n) + std::string(200, '\x55') + std::string(tag.bytes.data(), 128);
}

class PlannedBatches : public WindowTest {
protected:
    // old name -> new name for the swap, the three-cycle and a thousand names shifted by one.
    std::map<std::string, std::string> swapsCyclesAndShift() {
        std::map<std::string, std::string> renames{{"a.mp3", "b.mp3"}, {"b.mp3", "a.mp3"},
                                                   {"x.mp3", "y.mp3"}, {"y.mp3", "z.mp3"}, {"z.mp3", "x.mp3"}};
        for (int n = 1; n <= 1000; ++n) renames[numbered(n)] = numbered(n + 1);
        return renames;
    }
    // Every file now under its new name holds what its old name held.
    void expectMoved(const std::map<std::string, std::string>& renames, const std::map<std::string, std::string>& before) {
        const auto after = snapshot(folder / "Work");
        for (const auto& [from, to] : renames) ASSERT_EQ(after.at(to), before.at(from)) << from << " -> " << to;
        EXPECT_EQ(after.size(), before.size()) << "no parking name left behind";
        EXPECT_FALSE(after.contains(numbered(1)));
    }
    void undoAndCompare(const std::map<std::string, std::string>& before) {
        trigger("N50");
        EXPECT_EQ(snapshot(folder / "Work"), before);
    }
};

TEST_F(PlannedBatches, ManualNamingSwapsCyclesAndShiftsWithoutAQuestion) {
    const auto renames = swapsCyclesAndShift();
    for (const auto& [from, to] : renames) folder.write("Work/" + from, "content of " + from);
    const auto before = snapshot(folder / "Work");
    openWindows();
    ASSERT_EQ(list().setDirectory(folder / "Work"), 0);
    std::vector<std::string> lines;
    for (int i = 0; i < list().count(); ++i) lines.push_back(renames.at(list().itemBytes(i)));
    form().setEditLines(lines);
    trigger("N2");  // a question here would be a problem of the script
    EXPECT_EQ(status(), "1005个文件已按指定名字重命名");
    expectMoved(renames, before);
    undoAndCompare(before);
    EXPECT_EQ(status(), "1005个文件撤销完成");
}

TEST_F(PlannedBatches, Id3NamingSwapsCyclesAndShiftsAndSkipsWhatItMust) {
    const auto renames = swapsCyclesAndShift();
    int n = 0;
    for (const auto& [from, to] : renames) folder.write("Work/" + from, taggedMp3(to.substr(0, to.size() - 4), ++n));
    const auto before = snapshot(folder / "Work");
    openWindows();
    ASSERT_EQ(list().setDirectory(folder / "Work"), 0);
    TForm5* chooser = form().Form5;
    QTimer::singleShot(0, chooser, [chooser] {
        chooser->ui.ComboBox1->setEditText("T");
        chooser->ui.BitBtn1->click();
    });
    trigger("ID31");
    EXPECT_EQ(status(), "被重命名的文件数为1005");
    expectMoved(renames, before);
    undoAndCompare(before);

    // Two files of the batch wanting one name, and a name held by a file outside it
    // (an MP3 file without a tag takes no part): the first file takes the name, the
    // second is named in a notice, the held name is passed over without a question.
    folder.write("Work/p.mp3", taggedMp3("same", 1));
    folder.write("Work/q.mp3", taggedMp3("same", 2));
    folder.write("Work/r.mp3", taggedMp3("held", 3));
    folder.write("Work/held.mp3", "no tag here");
    const auto second = snapshot(folder / "Work");
    ASSERT_EQ(list().setDirectory(folder / "Work"), 0);
    QTimer::singleShot(0, chooser, [chooser] { chooser->ui.BitBtn1->click(); });
    prompts.expectNotice("以下1个文件要改成的名字已由本批中前面的文件取用，未改名：\nq.mp3 → same.mp3");
    trigger("ID31");
    EXPECT_EQ(folder.read("Work/held.mp3"), "no tag here");
    EXPECT_TRUE(folder.exists("Work/r.mp3"));
    EXPECT_TRUE(folder.exists("Work/q.mp3"));
    EXPECT_EQ(snapshot(folder / "Work").at("same.mp3"), second.at("p.mp3"));
    undoAndCompare(second);
}

// A state folder that cannot hold the journal: the renames happen, the user is told once
// that this batch cannot be undone after a restart, and undo works while the window lives.
TEST_F(PlannedBatches, AJournalThatCannotBeWrittenIsAskedAboutAndTheUndoInMemoryWorks) {
    stateHome.write("quilvane", "a file where the folder should be");
    folder.write("Work/a.mp3", "A");
    folder.write("Work/b.mp3", "B");
    openWindows();
    ASSERT_EQ(list().setDirectory(folder / "Work"), 0);
    form().setEditLines({"b.mp3", "a.mp3"});
    prompts.expectQuestion("", true);
    trigger("N2");
    ASSERT_EQ(prompts.shown().size(), 1u) << "asked once, nothing said after";
    EXPECT_TRUE(prompts.shown().back().text.endsWith("，这一批改名将不能撤销。仍然改名吗？")) << prompts.shown().back().text.toStdString();
    EXPECT_EQ(folder.read("Work/a.mp3"), "B");
    form().setEditLines({"b.mp3", "a.mp3"});
    prompts.expectQuestion("", true);
    trigger("N2");  // swapped back
    EXPECT_EQ(prompts.shown().size(), 2u);
    EXPECT_EQ(folder.read("Work/a.mp3"), "A");
    trigger("N50");
    EXPECT_EQ(folder.read("Work/a.mp3"), "B");
}

int doneMarks(const std::string& journal) {
    std::FILE* f = std::fopen(journal.c_str(), "r");
    if (!f) return 0;
    int marks = 0;
    char line[4096];
    while (std::fgets(line, sizeof line, f))
        if (line[0] == 'd' && line[1] == ' ') ++marks;
    std::fclose(f);
    return marks;
}

// A batch of 2,000 renames in another process, killed part way: the next window started
// on the same state folder offers 撤销更名, and it gives every file its old name back.
TEST_F(PlannedBatches, ABatchKilledPartWayIsUndoneByTheNextWindow) {
    constexpr int kFiles = 2000;
    for (int n = 1; n <= kFiles; ++n) folder.write("Work/" + numbered(n), "song " + std::to_string(n));
    folder.write("Work/swap a.mp3", "a");
    folder.write("Work/swap b.mp3", "b");
    const auto before = snapshot(folder / "Work");

    const std::string work = folder / "Work";
    const std::string count = std::to_string(kFiles);
    char* const args[] = {const_cast<char*>(QUILVANE_RENAME_CHILD), const_cast<char*>(work.c_str()),
                          const_cast<char*>(count.c_str()), nullptr};
    pid_t child = 0;
    ASSERT_EQ(::posix_spawn(&child, QUILVANE_RENAME_CHILD, nullptr, nullptr, args, environ), 0);
    for (int waited = 0; doneMarks(newestJournal(stateHome / "quilvane")) < 600 && waited < 20000; waited += 2) ::usleep(2000);
    ::kill(child, SIGKILL);
    int exit = 0;
    ASSERT_EQ(::waitpid(child, &exit, 0), child);
    ASSERT_TRUE(WIFSIGNALED(exit)) << "the batch ended before it could be cut short";
    EXPECT_TRUE(folder.exists("Work/" + numbered(1))) << "killed part way";
    EXPECT_NE(snapshot(folder / "Work"), before);

    openWindows();
    EXPECT_TRUE(form().ui.N50->isEnabled());
    EXPECT_TRUE(form().ui.BitBtn7->isEnabled());
    EXPECT_TRUE(status().startsWith("上次改名（")) << status().toStdString();
    EXPECT_TRUE(status().endsWith("个文件）可以用“撤销更名”恢复")) << status().toStdString();
    trigger("N50");
    EXPECT_EQ(snapshot(folder / "Work"), before);
    EXPECT_TRUE(journalFiles(stateHome / "quilvane").empty());

    // Undone once: the window after that offers nothing.
    windows.reset();
    openWindows();
    EXPECT_FALSE(form().ui.N50->isEnabled());
}

}  // namespace
}  // namespace quilvane::test
