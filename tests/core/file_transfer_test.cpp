// Copy, move and delete of files and trees on real folders, their failures, and the
// cases where a naive implementation destroys data.
#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/file_utils.h"
#include "files/folder_transfer.h"
#include "platform/attributes.h"
#include "platform/paths.h"
#include "support/file_size_limit.h"
#include "support/id3_builder.h"
#include "support/temp_folder.h"

namespace quilvane {
namespace {

using test::TempFolder;

TransferError::Kind failureOf(const std::function<void()>& work, std::string* message = nullptr) {
    try {
        work();
    } catch (const TransferError& e) {
        if (message) *message = e.what();
        return e.kind();
    }
    ADD_FAILURE() << "no failure";
    return TransferError::Kind::CannotList;
}

TEST(CopySingleFile, CopiesExactlyIntoFoldersAndOverFiles) {
    TempFolder dir;
    dir.makeFolder("Music");
    for (std::size_t size : {std::size_t{0}, std::size_t{8191}, std::size_t{8192}, std::size_t{8193}, std::size_t{300000}}) {
        SCOPED_TRACE(size);
        const std::string name = "f" + std::to_string(size) + ".mp3";
        const std::string bytes = test::audio(size, static_cast<unsigned>(size));
        dir.write(name, bytes);
        CopySingleFile(dir / name, dir / "Music");
        EXPECT_EQ(dir.read("Music/" + name), bytes);
    }
    dir.write("a.mp3", "new");
    dir.write("Music/a.mp3", "old");
    CopySingleFile(dir / "a.mp3", dir / "Music/");
    EXPECT_EQ(dir.read("Music/a.mp3"), "new") << "an existing file is replaced";

    ::chmod((dir / "a.mp3").c_str(), 0444);
    CopySingleFile(dir / "a.mp3", dir / "copy.mp3");
    EXPECT_EQ(attributeWord(dir / "copy.mp3"), 0) << "the copy has ordinary attributes";

    // Relative names are taken from the working directory.
    const std::string before = currentDirectory();
    setCurrentDirectory(dir.path());
    CopySingleFile("a.mp3", "rel.mp3");
    setCurrentDirectory(before);
    EXPECT_EQ(dir.read("rel.mp3"), "new");
}

TEST(CopySingleFile, NeverCopiesOntoItselfAndFailsCleanly) {
    TempFolder dir;
    dir.write("a.mp3", "precious");
    ASSERT_EQ(::link((dir / "a.mp3").c_str(), (dir / "same.mp3").c_str()), 0);
    CopySingleFile(dir / "a.mp3", dir / "a.mp3");
    CopySingleFile(dir / "a.mp3", dir.path());
    CopySingleFile(dir / "a.mp3", dir / "same.mp3");
    MoveSingleFile(dir / "a.mp3", dir.path() + "/");
    EXPECT_EQ(dir.read("a.mp3"), "precious");
    EXPECT_EQ(dir.read("same.mp3"), "precious");

    std::string message;
    EXPECT_EQ(failureOf([&] { CopySingleFile(dir / "missing.mp3", dir / "x.mp3"); }, &message),
              TransferError::Kind::CannotOpen);
    EXPECT_EQ(message, "Cannot open file " + dir / "missing.mp3");
    EXPECT_EQ(failureOf([&] { CopySingleFile(dir / "a.mp3", dir / "no/such/x.mp3"); }, &message),
              TransferError::Kind::CannotCreate);
    EXPECT_EQ(message, "Cannot create file " + dir / "no/such/x.mp3");
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"a.mp3", "same.mp3"}));
}

TEST(MoveSingleFile, RenamesWithinAFileSystemAndOverwrites) {
    TempFolder dir;
    dir.write("a.mp3", "a");
    dir.makeFolder("Out");
    struct stat before {};
    ::stat((dir / "a.mp3").c_str(), &before);
    const timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
    ::utimensat(AT_FDCWD, (dir / "a.mp3").c_str(), old, 0);
    MoveSingleFile(dir / "a.mp3", dir / "Out");
    struct stat after {};
    ASSERT_EQ(::stat((dir / "Out/a.mp3").c_str(), &after), 0);
    EXPECT_EQ(after.st_mtime, 1000000000) << "a rename keeps the file's times";
    EXPECT_FALSE(dir.exists("a.mp3"));

    dir.write("b.mp3", "newer");
    dir.write("Out/b.mp3", "older");
    MoveSingleFile(dir / "b.mp3", dir / "Out/b.mp3");
    EXPECT_EQ(dir.read("Out/b.mp3"), "newer");
    EXPECT_FALSE(dir.exists("b.mp3"));
}

TEST(MoveSingleFile, CopiesAcrossFileSystemsAndRefusesReadOnlySources) {
    TempFolder dir;
    struct stat here {}, shm {};
    if (::stat(dir.path().c_str(), &here) != 0 || ::stat("/dev/shm", &shm) != 0 || here.st_dev == shm.st_dev)
        GTEST_SKIP() << "/dev/shm is not another file system here; the move across file systems is not tested";
    char pattern[] = "/dev/shm/quilvane-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string other = pattern;
    const std::string bytes = test::audio(20000);
    dir.write("a.mp3", bytes);
    const timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
    ::utimensat(AT_FDCWD, (dir / "a.mp3").c_str(), old, 0);

    MoveSingleFile(dir / "a.mp3", other);
    struct stat moved {};
    ASSERT_EQ(::stat((other + "/a.mp3").c_str(), &moved), 0);
    EXPECT_GT(moved.st_mtime, 1000000000) << "the copy has the time of its writing";
    EXPECT_EQ(test::TempFolder::readFile(other + "/a.mp3"), bytes);
    EXPECT_FALSE(dir.exists("a.mp3"));

    dir.write("ro.mp3", "read-only");
    ::chmod((dir / "ro.mp3").c_str(), 0444);
    std::string message;
    EXPECT_EQ(failureOf([&] { MoveSingleFile(dir / "ro.mp3", other); }, &message), TransferError::Kind::CannotMove);
    EXPECT_EQ(message, "Cannot move file " + dir / "ro.mp3");
    EXPECT_TRUE(dir.exists("ro.mp3"));
    EXPECT_FALSE(pathExists(other + "/ro.mp3"));
    std::system(("rm -rf " + other).c_str());
}

// A batch's move or copy never replaces what is at its destination, on one file system
// (a rename) or across two (a copy put in place at the end), and leaves nothing behind.
TEST(MoveSingleFile, ABatchNeverReplacesWhatIsAtItsDestination) {
    const auto put = [](const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; };
    const auto listed = [](const std::string& folder) {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    };
    TempFolder dir;
    dir.makeFolder("Out");
    std::vector<std::string> places{dir / "Out"};
    struct stat here {}, shm {};
    char pattern[] = "/dev/shm/quilvane-test-XXXXXX";
    if (::stat(dir.path().c_str(), &here) == 0 && ::stat("/dev/shm", &shm) == 0 && here.st_dev != shm.st_dev &&
        ::mkdtemp(pattern) != nullptr)
        places.push_back(pattern);
    for (const std::string& out : places) {
        SCOPED_TRACE(out);
        dir.write("a.mp3", "mine");
        put(out + "/a.mp3", "theirs");
        EXPECT_FALSE(MoveSingleFile(dir / "a.mp3", out + "/a.mp3", AtDestination::Keep));
        EXPECT_FALSE(CopySingleFile(dir / "a.mp3", out + "/a.mp3", AtDestination::Keep));
        EXPECT_EQ(dir.read("a.mp3"), "mine");
        EXPECT_EQ(test::TempFolder::readFile(out + "/a.mp3"), "theirs");
        EXPECT_EQ(listed(out), std::vector<std::string>{"a.mp3"}) << "no temporary file left";
        ::unlink((out + "/b.mp3").c_str());
        EXPECT_TRUE(MoveSingleFile(dir / "a.mp3", out + "/b.mp3", AtDestination::Keep));
        EXPECT_EQ(test::TempFolder::readFile(out + "/b.mp3"), "mine");
    }
    if (places.size() > 1) std::system(("rm -rf " + places[1]).c_str());
}

TEST(CopySingleFile, ACopyThatFailsPartWayLeavesNothingHalfDone) {
    TempFolder dir;
    const std::string bytes = test::audio(100000);
    dir.write("big.mp3", bytes);
    dir.write("Out/big.mp3", "the old copy");
    EXPECT_EQ(test::runWithFileSizeLimit(50000,
                                         [&] {
                                             try {
                                                 CopySingleFile(dir / "big.mp3", dir / "Out");
                                             } catch (const TransferError& e) {
                                                 if (e.kind() == TransferError::Kind::CannotWrite) throw;
                                             }
                                         }),
              3)
        << "the copy fails as a failed write";
    EXPECT_EQ(dir.read("Out/big.mp3"), "the old copy");
    EXPECT_EQ(dir.names("Out"), std::vector<std::string>{"big.mp3"}) << "no temporary file is left";
    EXPECT_EQ(test::runWithFileSizeLimit(50000, [&] { MoveSingleFile(dir / "big.mp3", dir / "Out/other.mp3"); }), 0)
        << "within one file system a move is a rename and writes nothing";
    EXPECT_EQ(dir.read("Out/other.mp3"), bytes);
}

TEST(FileQueries, SizesTimesAndAttributes) {
    TempFolder dir;
    EXPECT_EQ(FileSizeOf(dir / "missing"), -1);
    EXPECT_TRUE(FileHasAttr(dir / "missing", 0));
    EXPECT_FALSE(FileHasAttr(dir / "missing", attr::ReadOnly));
    EXPECT_THROW(FileModifiedTime(dir / "missing"), TransferError);

    const std::string sparse = dir.write("huge.mp3");
    ASSERT_EQ(::truncate(sparse.c_str(), std::int64_t{5} << 30), 0);
    EXPECT_EQ(FileSizeOf(sparse), std::int64_t{5} << 30);

    const timespec odd[2] = {{1000000001, 0}, {1000000001, 0}};
    ::utimensat(AT_FDCWD, sparse.c_str(), odd, 0);
    EXPECT_EQ(FileModifiedTime(sparse), 1000000000) << "two-second steps, rounded down";
    EXPECT_TRUE(FileHasAttr(dir.path(), attr::Folder));
}

TEST(FolderTrees, CopyMoveAndDeleteWholeTrees) {
    TempFolder dir;
    dir.write("A/a.mp3", "a");
    dir.write("A/.git/config", "x");
    dir.write("A/Sub/b.mp3", "b");
    dir.write("A/Sub/ro.mp3", "ro");
    ::chmod((dir / "A/Sub/ro.mp3").c_str(), 0444);
    dir.makeFolder("Out");

    CopyFolderTree(dir / "A", dir.path() + "/Out/");
    EXPECT_EQ(dir.names("Out/A"), (std::vector<std::string>{"Sub", "a.mp3"})) << "dot-named entries stay behind";
    EXPECT_EQ(dir.read("Out/A/Sub/b.mp3"), "b");

    MoveFolderTree(dir / "A", dir / "Moved");
    EXPECT_EQ(dir.names("Moved/A/Sub"), (std::vector<std::string>{"b.mp3", "ro.mp3"}));
    EXPECT_EQ(attributeWord(dir / "Moved/A/Sub/ro.mp3"), 0) << "moved files are made writable";
    EXPECT_EQ(dir.names("A"), std::vector<std::string>{".git"}) << "a folder holding dot-names stays";

    dir.write("D/x.mp3");
    dir.write("D/y.mp3");
    dir.write("D/Sub/ro.mp3");
    ::chmod((dir / "D/Sub/ro.mp3").c_str(), 0444);
    std::vector<std::string> messages;
    deleteEntireDir(dir / "D", [&](const std::string& m) { messages.push_back(m); });
    EXPECT_FALSE(dir.exists("D"));
    ASSERT_EQ(messages.size(), 5u);
    EXPECT_EQ(messages.back(), "已删除文件夹：" + dir / "D");
    EXPECT_EQ(std::count(messages.begin(), messages.end(), "已删除文件夹：" + dir / "D/Sub"), 1);
    EXPECT_EQ(std::count(messages.begin(), messages.end(), "已删除文件：ro.mp3"), 1);
    EXPECT_THROW(deleteEntireDir(dir / "D", [](const std::string&) {}), TransferError);
}

// A folder moved entry by entry is undone as a batch of renames: every file goes back,
// into the folders the move removed.
TEST(FolderTrees, AMovedTreeIsUndoneIntoItsFoldersAgain) {
    TempFolder dir;
    dir.write("A/a.mp3", "a");
    dir.write("A/Sub/b.mp3", "b");
    UndoList log;
    EXPECT_EQ(MoveFolderTree(dir / "A", dir / "Moved", &log), 0);
    EXPECT_FALSE(dir.exists("A"));
    EXPECT_EQ(undoRenames(log, {}).restored, 2);
    EXPECT_EQ(dir.read("A/a.mp3"), "a");
    EXPECT_EQ(dir.read("A/Sub/b.mp3"), "b");
}

TEST(FolderTrees, AFolderIsNeverCopiedOrMovedIntoItself) {
    TempFolder dir;
    dir.write("A/a.mp3", "a");
    dir.makeFolder("A/Sub");
    for (const std::string& target : {dir / "A", dir / "A/Sub", dir / "A/Sub/"}) {
        SCOPED_TRACE(target);
        EXPECT_EQ(failureOf([&] { CopyFolderTree(dir / "A", target); }), TransferError::Kind::IntoItself);
        EXPECT_EQ(failureOf([&] { MoveFolderTree(dir / "A", target); }), TransferError::Kind::IntoItself);
    }
    EXPECT_EQ(dir.names("A"), (std::vector<std::string>{"Sub", "a.mp3"}));
    EXPECT_TRUE(dir.names("A/Sub").empty()) << "nothing was written";

    // Onto the folder that holds it already (a drag onto its own parent): every entry
    // would land on itself, and the empty folders would be removed as "moved".
    dir.makeFolder("A/Sub/Empty");
    EXPECT_EQ(failureOf([&] { MoveFolderTree(dir / "A/Sub", dir / "A"); }), TransferError::Kind::AlreadyThere);
    EXPECT_EQ(failureOf([&] { MoveFolderTree(dir / "A/Sub/", dir / "A/Sub/.."); }), TransferError::Kind::AlreadyThere);
    EXPECT_EQ(failureOf([&] { MoveFolderTree(dir / "A", dir.path() + "/"); }), TransferError::Kind::AlreadyThere);
    EXPECT_EQ(failureOf([&] { CopyFolderTree(dir / "A", dir.path()); }), TransferError::Kind::AlreadyThere);
    EXPECT_EQ(dir.names("A"), (std::vector<std::string>{"Sub", "a.mp3"}));
    EXPECT_EQ(dir.names("A/Sub"), std::vector<std::string>{"Empty"}) << "no folder was removed";
}

TEST(FolderTrees, LinksToFoldersAreNeverFollowed) {
    TempFolder dir, outside;
    outside.write("keep.mp3", "keep");
    dir.write("A/a.mp3", "a");
    ASSERT_EQ(::symlink(outside.path().c_str(), (dir / "A/Link").c_str()), 0);

    CopyFolderTree(dir / "A", dir / "Copy");
    struct stat st {};
    ASSERT_EQ(::lstat((dir / "Copy/A/Link").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << "copied as a link";

    MoveFolderTree(dir / "A", dir / "Moved");
    ASSERT_EQ(::lstat((dir / "Moved/A/Link").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_FALSE(dir.exists("A"));

    deleteEntireDir(dir / "Moved", [](const std::string&) {});
    deleteEntireDir(dir / "Copy", [](const std::string&) {});
    EXPECT_EQ(outside.names(), std::vector<std::string>{"keep.mp3"});
    EXPECT_EQ(outside.read("keep.mp3"), "keep");
}

}  // namespace
}  // namespace quilvane
