// Sorting, copies, moves and deletions against the cases that lose files: names taken
// by other files, write-protected targets, sources that cannot be deleted, links,
// temporary names that do not fit, special files. Every test proves with the folder's
// contents before and after that nothing was lost.
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/file_sorting.h"
#include "files/file_utils.h"
#include "files/folder_transfer.h"
#include "platform/file_error.h"
#include "platform/file_io.h"
#include "support/folder_snapshot.h"
#include "support/id3_builder.h"
#include "support/temp_folder.h"
#include "tags/tag_block.h"

namespace quilvane {
namespace {

using test::contents;
using test::snapshot;
using test::TempFolder;

SortCounts sortWith(SortSettings settings) {
    const std::atomic<bool> stop{false};
    FileSorter sorter(std::move(settings), stop, {});
    return sorter.run();
}

TransferError::Kind failureOf(const std::function<void()>& work) {
    try {
        work();
    } catch (const TransferError& e) {
        return e.kind();
    }
    ADD_FAILURE() << "no failure";
    return TransferError::Kind::CannotList;
}

// A second file system that this test can fill, make read-only or throw away: a small
// tmpfs, where the tests run as root.
class ScratchMount {
public:
    explicit ScratchMount(const std::string& options) {
        char pattern[] = "/tmp/quilvane-mount-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) return;
        path_ = pattern;
        mounted_ = ::mount("tmpfs", path_.c_str(), "tmpfs", 0, options.c_str()) == 0;
    }
    ~ScratchMount() {
        if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
        if (!path_.empty()) ::rmdir(path_.c_str());
    }
    bool mounted() const { return mounted_; }
    const std::string& path() const { return path_; }
    bool makeReadOnly() {
        return ::mount("tmpfs", path_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

private:
    std::string path_;
    bool mounted_ = false;
};

TEST(SortingSafety, ANameTakenByAnotherFileIsSkippedNeverOverwritten) {
    TempFolder dir;
    // One name in three places, three different contents.
    dir.write("In/Tom - Rain.mp3", "root rain");
    dir.write("In/live/Tom - Rain.mp3", "live rain");
    dir.write("In/live/2001/Tom - Rain.mp3", "2001 rain");
    dir.write("In/Ann - Sky.mp3", "sky");
    const auto before = contents(dir.path());

    SortSettings collect;
    collect.searchPath = dir / "In";
    collect.collectPath = dir / "All";
    collect.byArtist = false;
    collect.withSubfolders = true;
    const SortCounts counts = sortWith(collect);
    EXPECT_EQ(contents(dir.path()), before);
    EXPECT_EQ(counts.sorted, 2);
    EXPECT_EQ(counts.skipped, 2);
    EXPECT_EQ(dir.read("All/Tom - Rain.mp3"), "2001 rain") << "the walk meets the deepest first";

    SortSettings artist;
    artist.searchPath = dir / "In";
    artist.destPath = dir / "Out";
    artist.withSubfolders = true;
    const SortCounts second = sortWith(artist);
    EXPECT_EQ(contents(dir.path()), before);
    EXPECT_EQ(second.sorted, 1);
    EXPECT_EQ(second.skipped, 1);
    EXPECT_TRUE(dir.exists("In/live/Tom - Rain.mp3") || dir.exists("In/Tom - Rain.mp3"));
}

TEST(SortingSafety, AFolderThatCannotBeReadIsNamedInTheResult) {
    TempFolder dir;
    dir.write("In/Tom - a.mp3", "a");
    // A path longer than the system accepts cannot be listed, even by root.
    std::string deep = dir / "In";
    const std::string part(200, 'd');
    int fd = ::open(deep.c_str(), O_DIRECTORY);
    for (int level = 0; level < 22; ++level) {
        ASSERT_EQ(::mkdirat(fd, part.c_str(), 0755), 0);
        const int next = ::openat(fd, part.c_str(), O_DIRECTORY);
        ::close(fd);
        fd = next;
    }
    ASSERT_EQ(::close(::openat(fd, "Tom - b.mp3", O_CREAT | O_WRONLY, 0644)), 0);
    ::close(fd);

    SortSettings settings;
    settings.searchPath = dir / "In";
    settings.destPath = dir / "Out";
    settings.withSubfolders = true;
    const SortCounts counts = sortWith(settings);
    EXPECT_EQ(counts.sorted, 1);
    ASSERT_EQ(counts.unreadable.size(), 1u);
    EXPECT_EQ(counts.unreadable[0].error, ENAMETOOLONG);
    EXPECT_TRUE(counts.unreadable[0].folder.starts_with(dir / "In/" + part));
    EXPECT_TRUE(dir.exists("In")) << "the folder still holding a file stays";
    std::system(("rm -rf '" + dir / "In" + "'").c_str());
}

TEST(TransferSafety, WriteProtectedTargetsAreRefusedAsCpRefusesThem) {
    TempFolder dir;
    dir.write("a.mp3", "new");
    const std::string target = dir.write("Out/a.mp3", "protected");
    ::chmod(target.c_str(), 0444);
    std::string message;
    EXPECT_EQ(failureOf([&] { CopySingleFile(dir / "a.mp3", dir / "Out"); }), TransferError::Kind::CannotCreate);
    EXPECT_EQ(failureOf([&] { MoveSingleFile(dir / "a.mp3", dir / "Out"); }), TransferError::Kind::CannotCreate);
    try {
        CopySingleFile(dir / "a.mp3", target);
    } catch (const TransferError& e) {
        message = e.what();
    }
    EXPECT_EQ(message, "Cannot create file " + target);
    EXPECT_EQ(dir.read("Out/a.mp3"), "protected");
    EXPECT_EQ(dir.read("a.mp3"), "new");
}

TEST(TransferSafety, AMoveWhoseSourceCannotBeDeletedDoesNotPassForAMove) {
    TempFolder dir;
    ScratchMount source("size=1m");
    if (!source.mounted()) GTEST_SKIP() << "no tmpfs mount here (needs root); the read-only source is not tested";
    const std::string from = source.path() + "/a.mp3";
    {
        std::FILE* f = std::fopen(from.c_str(), "wb");
        std::fputs("audio", f);
        std::fclose(f);
    }
    ASSERT_TRUE(source.makeReadOnly());
    EXPECT_EQ(failureOf([&] { MoveSingleFile(from, dir.path()); }), TransferError::Kind::CannotMove);
    EXPECT_FALSE(dir.exists("a.mp3")) << "nothing is copied that could not be moved";
    EXPECT_EQ(TempFolder::readFile(from), "audio");
}

TEST(TransferSafety, LinksAreActedOnAsThemselves) {
    TempFolder dir;
    dir.write("Music/a.mp3", "a");
    dir.write("Music/Sub/b.mp3", "b");
    ASSERT_EQ(::symlink((dir / "Music").c_str(), (dir / "Link").c_str()), 0);
    const auto music = snapshot(dir / "Music");

    // Deleting the link deletes the link, never what it points to.
    std::vector<std::string> reports;
    deleteEntireDir(dir / "Link", [&](const std::string& r) { reports.push_back(r); });
    EXPECT_FALSE(dir.exists("Link"));
    EXPECT_EQ(snapshot(dir / "Music"), music);
    EXPECT_EQ(reports, std::vector<std::string>{"已删除文件夹：" + dir / "Link"});

    // Moving it moves the link; copying it copies the link.
    ASSERT_EQ(::symlink((dir / "Music").c_str(), (dir / "Link").c_str()), 0);
    MoveFolderTree(dir / "Link", dir / "Moved");
    CopyFolderTree(dir / "Moved/Link", dir / "Copied");
    EXPECT_EQ(snapshot(dir / "Music"), music);
    EXPECT_EQ(snapshot(dir / "Moved"), (std::map<std::string, std::string>{{"Link", "-> " + dir / "Music"}}));
    EXPECT_EQ(snapshot(dir / "Copied"), (std::map<std::string, std::string>{{"Link", "-> " + dir / "Music"}}));
    EXPECT_FALSE(dir.exists("Link"));

    // A target inside the source, named through a link and not existing yet, is refused
    // before anything is written.
    EXPECT_EQ(failureOf([&] { CopyFolderTree(dir / "Music", dir / "Moved/Link/New/Deeper"); }),
              TransferError::Kind::IntoItself);
    EXPECT_EQ(snapshot(dir / "Music"), music);

    // A tree that holds a link, copied twice: the second copy replaces nothing.
    ASSERT_EQ(::symlink("a.mp3", (dir / "Music/alias.mp3").c_str()), 0);
    ASSERT_EQ(::symlink((dir / "Music/Sub").c_str(), (dir / "Music/SubLink").c_str()), 0);
    EXPECT_EQ(CopyFolderTree(dir / "Music", dir / "Twice"), 0);
    const auto once = snapshot(dir / "Twice");
    EXPECT_EQ(CopyFolderTree(dir / "Music", dir / "Twice"), 4) << "every entry was there already";
    EXPECT_EQ(snapshot(dir / "Twice"), once);
}

TEST(TransferSafety, TreeCopiesAndMovesNeverOverwriteAndComparesWholeNames) {
    TempFolder dir;
    dir.write("A/x.mp3", "new x");
    dir.write("A/y.mp3", "y");
    dir.write("Target/A/x.mp3", "old x");
    EXPECT_EQ(CopyFolderTree(dir / "A", dir / "Target"), 1);
    EXPECT_EQ(dir.read("Target/A/x.mp3"), "old x");
    EXPECT_EQ(dir.read("Target/A/y.mp3"), "y");

    dir.write("B/x.mp3", "b x");
    dir.write("Target/B/x.mp3", "target b x");
    EXPECT_EQ(MoveFolderTree(dir / "B", dir / "Target"), 1);
    EXPECT_EQ(dir.read("B/x.mp3"), "b x") << "the file whose name was taken stays";
    EXPECT_EQ(dir.read("Target/B/x.mp3"), "target b x");

    // "AB" is a sibling of "A", not inside it.
    CopyFolderTree(dir / "A", dir / "AB");
    EXPECT_EQ(dir.read("AB/A/y.mp3"), "y");
}

TEST(TransferSafety, ACopyOntoItselfLeavesTheFileAsItWas) {
    TempFolder dir;
    const std::string path = dir.write("a.mp3", "same");
    struct stat before {};
    ::stat(path.c_str(), &before);
    EXPECT_FALSE(CopySingleFile(path, path));
    EXPECT_FALSE(CopySingleFile(path, dir.path()));
    struct stat after {};
    ::stat(path.c_str(), &after);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(dir.read("a.mp3"), "same");
}

// A name of 80 Chinese characters is 244 bytes, near the limit of 255: a temporary name
// made from it would not fit.
TEST(TransferSafety, ALongNameIsCopiedMovedAndSorted) {
    TempFolder dir;
    std::string name;
    for (int i = 0; i < 80; ++i) name += "歌";
    name += ".mp3";
    ASSERT_EQ(name.size(), 244u);
    const std::string bytes = test::audio(30000, 2);
    dir.write("In/" + name, bytes);
    CopySingleFile(dir / "In/" + name, dir / "Copy");
    EXPECT_EQ(dir.read("Copy"), bytes);

    dir.write("In/Tom - " + name.substr(9), bytes);
    SortSettings settings;
    settings.searchPath = dir / "In";
    settings.destPath = dir / "Out";
    settings.keepOriginal = true;
    EXPECT_EQ(sortWith(settings).sorted, 1);
    EXPECT_EQ(dir.read("Out/Tom/Tom - " + name.substr(9)), bytes);

    struct stat here {}, shm {};
    if (::stat(dir.path().c_str(), &here) != 0 || ::stat("/dev/shm", &shm) != 0 || here.st_dev == shm.st_dev)
        GTEST_SKIP() << "/dev/shm is not another file system here; the move across file systems is not tested";
    char pattern[] = "/dev/shm/quilvane-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string other = pattern;
    EXPECT_TRUE(MoveSingleFile(dir / "In/" + name, other));
    EXPECT_EQ(TempFolder::readFile(other + "/" + name), bytes);
    EXPECT_FALSE(dir.exists("In/" + name));
    std::system(("rm -rf '" + other + "'").c_str());
}

// A pipe with a music or picture name blocks whoever opens it for reading.
TEST(TransferSafety, SpecialFilesAreNeverOpened) {
    TempFolder dir;
    ASSERT_EQ(::mkfifo((dir / "pipe.mp3").c_str(), 0644), 0);
    try {
        readTagBlock(dir / "pipe.mp3");
        ADD_FAILURE() << "a pipe was read";
    } catch (const FileError& e) {
        EXPECT_EQ(e.kind(), FileError::Kind::NotRegularFile);
    }
    EXPECT_THROW(OpenFile::forReadWrite(dir / "pipe.mp3"), FileError);
    EXPECT_EQ(failureOf([&] { CopySingleFile(dir / "pipe.mp3", dir / "copy.mp3"); }), TransferError::Kind::CannotOpen);
    EXPECT_FALSE(dir.exists("copy.mp3"));
}

}  // namespace
}  // namespace quilvane
