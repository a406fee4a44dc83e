// Entries sent to the desktop's trash: where they land, the records that say where they
// came from, names in a legacy encoding, links, and failures that leave nothing behind.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <cctype>

#include "platform/paths.h"
#include "platform/trash.h"
#include "support/temp_folder.h"

namespace quilvane::test {
namespace {

namespace fs = std::filesystem;

// Points the home trash at a folder of the test for as long as it lives.
class DataHome {
public:
    explicit DataHome(const std::string& path) {
        if (const char* old = std::getenv("XDG_DATA_HOME")) old_ = old;
        ::setenv("XDG_DATA_HOME", path.c_str(), 1);
    }
    ~DataHome() {
        if (old_.empty()) ::unsetenv("XDG_DATA_HOME");
        else ::setenv("XDG_DATA_HOME", old_.c_str(), 1);
    }

private:
    std::string old_;
};

std::string unescaped(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// The record's Path, unescaped; fails the test when the record is not well formed.
// (Checked by hand: std::regex trips g++ 12's maybe-uninitialized warning under the sanitizer build.)
std::string recordedPath(const std::string& trash, const std::string& stored) {
    const std::string record = TempFolder::readFile(trash + "/info/" + stored + ".trashinfo");
    const std::string head = "[Trash Info]\nPath=";
    const std::string dateKey = "\nDeletionDate=";
    const size_t dateAt = record.find(dateKey);
    const bool framed = record.rfind(head, 0) == 0 && dateAt != std::string::npos && !record.empty() && record.back() == '\n';
    EXPECT_TRUE(framed) << record;
    if (!framed) return {};
    const std::string path = record.substr(head.size(), dateAt - head.size());
    const bool pathEscaped = !path.empty() && path.find_first_not_of(
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789%/._~-") == std::string::npos;
    EXPECT_TRUE(pathEscaped) << record;
    // YYYY-MM-DDThh:mm:ss, then the closing newline and nothing else.
    const std::string date = record.substr(dateAt + dateKey.size());
    const std::string shape = "dddd-dd-ddTdd:dd:dd\n";
    bool dated = date.size() == shape.size();
    for (size_t i = 0; dated && i < shape.size(); ++i)
        dated = shape[i] == 'd' ? std::isdigit(static_cast<unsigned char>(date[i])) != 0 : date[i] == shape[i];
    EXPECT_TRUE(dated) << record;
    return pathEscaped ? unescaped(path) : std::string();
}

TEST(Trash, EntriesGoToTheHomeTrashWithTheirRecords) {
    TempFolder folder;
    DataHome home(folder / "data");  // not there yet: the trash makes its folders
    const std::string trash = folder / "data/Trash";
    EXPECT_EQ(homeTrash(), trash);

    const std::string gbk = "\xd6\xd0\xce\xc4 song.mp3";  // 中文 in GBK, not UTF-8
    folder.write("Music/" + gbk, "legacy");
    folder.write("Music/Album/CD2/b.mp3", "b");
    folder.write("Music/a.mp3", "first");
    folder.write("Other/a.mp3", "second");
    folder.write("Elsewhere/target.mp3", "target");
    ASSERT_EQ(::symlink((folder / "Elsewhere/target.mp3").c_str(), (folder / "Music/link.mp3").c_str()), 0);

    for (const char* entry : {"Music/Album", "Music/a.mp3", "Other/a.mp3", "Music/link.mp3"}) {
        const TrashResult result = moveToTrash(folder / entry);
        EXPECT_TRUE(result.moved) << entry << ": " << result.reason;
    }
    const TrashResult legacy = moveToTrash(folder / ("Music/" + gbk));
    ASSERT_TRUE(legacy.moved) << legacy.reason;
    EXPECT_EQ(legacy.trashedAs, trash + "/files/" + gbk);

    EXPECT_EQ(folder.names("Music"), std::vector<std::string>{});
    EXPECT_EQ(folder.read("data/Trash/files/Album/CD2/b.mp3"), "b");
    EXPECT_EQ(folder.read("data/Trash/files/a.mp3"), "first");
    EXPECT_EQ(folder.read("data/Trash/files/a.2.mp3"), "second") << "a second entry of one name is kept apart";
    EXPECT_EQ(folder.read("data/Trash/files/" + gbk), "legacy");
    EXPECT_EQ(fs::read_symlink(trash + "/files/link.mp3"), folder / "Elsewhere/target.mp3") << "the link itself";
    EXPECT_EQ(folder.read("Elsewhere/target.mp3"), "target");

    EXPECT_EQ(recordedPath(trash, "Album"), folder / "Music/Album");
    EXPECT_EQ(recordedPath(trash, "a.mp3"), folder / "Music/a.mp3");
    EXPECT_EQ(recordedPath(trash, "a.2.mp3"), folder / "Other/a.mp3");
    EXPECT_EQ(recordedPath(trash, gbk), folder / ("Music/" + gbk)) << "the name's own bytes";
    EXPECT_EQ(folder.names("data/Trash/info").size(), folder.names("data/Trash/files").size());
    struct stat st {};
    ASSERT_EQ(::stat(trash.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u) << "a trash of the user's own";
}

TEST(Trash, ALinkedFolderIsRecordedByItsRealPlace) {
    TempFolder folder;
    DataHome home(folder / "data");
    folder.write("Real/x.mp3", "x");
    ASSERT_EQ(::symlink((folder / "Real").c_str(), (folder / "Via").c_str()), 0);
    ASSERT_TRUE(moveToTrash(folder / "Via/x.mp3").moved);
    char* real = ::realpath(folder.path().c_str(), nullptr);
    EXPECT_EQ(recordedPath(folder / "data/Trash", "x.mp3"), std::string(real) + "/Real/x.mp3");
    std::free(real);
    EXPECT_TRUE(folder.exists("Via")) << "the link stays";
}

TEST(Trash, AFailureLeavesNoRecordAndTheEntryInPlace) {
    TempFolder folder;
    DataHome home(folder / "data");
    folder.write("Locked/x.mp3", "x");
    const std::string locked = folder / "Locked";
    if (std::system(("chattr +i '" + locked + "' 2>/dev/null").c_str()) != 0) GTEST_SKIP() << "no chattr here";
    const TrashResult result = moveToTrash(locked + "/x.mp3");
    std::system(("chattr -i '" + locked + "'").c_str());
    EXPECT_FALSE(result.moved);
    EXPECT_FALSE(result.reason.empty());
    EXPECT_EQ(folder.read("Locked/x.mp3"), "x");
    EXPECT_EQ(folder.names("data/Trash/info"), std::vector<std::string>{});
    EXPECT_EQ(folder.names("data/Trash/files"), std::vector<std::string>{});

    EXPECT_FALSE(moveToTrash(folder / "Locked/missing.mp3").moved);
}

// An entry in files/ without a record of its own (left by a crash, or by another
// program) is never replaced: the new entry takes the next free name.
TEST(Trash, AnEntryAlreadyInTheTrashIsNeverReplaced) {
    TempFolder folder;
    DataHome home(folder / "data");
    folder.write("data/Trash/files/a.mp3", "orphan");
    folder.makeFolder("data/Trash/info");
    folder.write("Music/a.mp3", "mine");
    const TrashResult result = moveToTrash(folder / "Music/a.mp3");
    ASSERT_TRUE(result.moved) << result.reason;
    EXPECT_EQ(folder.read("data/Trash/files/a.mp3"), "orphan");
    EXPECT_EQ(result.trashedAs, folder / "data/Trash/files/a.2.mp3");
    EXPECT_EQ(folder.read("data/Trash/files/a.2.mp3"), "mine");
    EXPECT_EQ(folder.names("data/Trash/info"), std::vector<std::string>{"a.2.mp3.trashinfo"});
}

// An entry on another file system goes to the trash at the top of that mount, and its
// record names it relative to that top.
TEST(Trash, AnotherFileSystemUsesTheTrashAtItsTop) {
    TempFolder folder;
    DataHome home(folder / "data");
    struct stat tmp {}, shm {};
    if (::stat("/dev/shm", &shm) != 0 || ::stat(folder.path().c_str(), &tmp) != 0 || shm.st_dev == tmp.st_dev)
        GTEST_SKIP() << "no second file system at /dev/shm";
    char pattern[] = "/dev/shm/quilvane-trash-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string place = pattern;
    const std::string top = "/dev/shm/.Trash-" + std::to_string(::getuid());
    const bool topExisted = fs::exists(top);
    { std::FILE* f = std::fopen((place + "/x.mp3").c_str(), "w"); std::fputs("x", f); std::fclose(f); }

    const TrashResult result = moveToTrash(place + "/x.mp3");
    ASSERT_TRUE(result.moved) << result.reason;
    EXPECT_EQ(folderOf(folderOf(result.trashedAs)), top);
    const std::string stored = fileNameOf(result.trashedAs);
    EXPECT_EQ(recordedPath(top, stored), place.substr(std::string("/dev/shm/").size()) + "/x.mp3");
    EXPECT_FALSE(fs::exists(folder / "data/Trash")) << "nothing crossed to the home trash";

    fs::remove(result.trashedAs);
    fs::remove(top + "/info/" + stored + ".trashinfo");
    fs::remove(place);
    if (!topExisted) fs::remove_all(top);
}

}  // namespace
}  // namespace quilvane::test
