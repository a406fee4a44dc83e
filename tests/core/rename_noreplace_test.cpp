// The rename that never replaces: on the local file system, and through a scripted
// file system for the fallbacks (no RENAME_NOREPLACE, no hard links, case-insensitive).
#include <algorithm>
#include <cerrno>
#include <optional>
#include <gtest/gtest.h>
#include <functional>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/rename_noreplace.h"
#include "platform/text.h"
#include "support/temp_folder.h"

namespace quilvane {
namespace {

using test::TempFolder;

TEST(RenameWithoutReplacing, LocalFileSystemRenamesAndRefusesTakenNames) {
    TempFolder dir;
    dir.write("a.mp3", "audio a");
    dir.write("b.mp3", "audio b");
    dir.makeFolder("Folder");

    EXPECT_EQ(renameWithoutReplacing(dir / "a.mp3", dir / "c.mp3"), 0);
    EXPECT_EQ(dir.read("c.mp3"), "audio a");
    EXPECT_FALSE(dir.exists("a.mp3"));

    // Neither a file nor a folder at the target is ever replaced.
    EXPECT_EQ(renameWithoutReplacing(dir / "c.mp3", dir / "b.mp3"), EEXIST);
    EXPECT_EQ(renameWithoutReplacing(dir / "c.mp3", dir / "Folder"), EEXIST);
    EXPECT_EQ(dir.read("b.mp3"), "audio b");
    EXPECT_EQ(dir.read("c.mp3"), "audio a");

    // A dangling symbolic link is an entry too: plain rename() would have replaced it.
    ASSERT_EQ(::symlink("nowhere", (dir / "link.mp3").c_str()), 0);
    EXPECT_EQ(renameWithoutReplacing(dir / "c.mp3", dir / "link.mp3"), EEXIST);
    EXPECT_EQ(dir.read("c.mp3"), "audio a");

    EXPECT_EQ(renameWithoutReplacing(dir / "missing", dir / "x"), ENOENT);
    // Folders are renamed like files.
    EXPECT_EQ(renameWithoutReplacing(dir / "Folder", dir / "Other"), 0);
    EXPECT_TRUE(dir.exists("Other"));
}

// A file system in memory, whose abilities each test chooses.
class ScriptedFileSystem : public SysCalls {
public:
    bool noReplaceFlag = true;  // false: renameat2 answers EINVAL (NFS, FUSE)
    bool hardLinks = true;      // false: link() answers EPERM (FAT over FUSE)
    bool caseInsensitive = false;
    bool inodePerSpelling = false;  // FAT through FUSE: every spelling looks up its own inode
    std::map<std::string, ino_t> entries;  // key: the name as stored
    std::vector<std::string> calls;

    void add(const std::string& path) { entries[path] = nextInode_++; }

    int renameNoReplace(const std::string& from, const std::string& to) override {
        calls.push_back("renameat2");
        if (!noReplaceFlag) return EINVAL;
        if (!find(from)) return ENOENT;
        if (find(to)) return EEXIST;
        move(from, to);
        return 0;
    }
    int link(const std::string& from, const std::string& to) override {
        calls.push_back("link");
        if (!hardLinks) return EPERM;
        auto source = find(from);
        if (!source) return ENOENT;
        if (find(to)) return EEXIST;
        entries[to] = (*source)->second;
        return 0;
    }
    int unlink(const std::string& path) override {
        calls.push_back("unlink");
        auto entry = find(path);
        if (!entry) return ENOENT;
        entries.erase(*entry);
        return 0;
    }
    int rename(const std::string& from, const std::string& to) override {
        calls.push_back("rename");
        if (!find(from)) return ENOENT;
        if (auto existing = find(to)) entries.erase(*existing);  // replaces, as rename(2) does
        move(from, to);
        return 0;
    }
    int identify(const std::string& path, FileIdentity& out) override {
        auto entry = find(path);
        if (!entry) return ENOENT;
        out.device = 1;
        out.inode = inodePerSpelling ? static_cast<ino_t>(std::hash<std::string>{}(path)) : (*entry)->second;
        return 0;
    }
    bool listsName(const std::string& folder, const std::string& name) override {
        return entries.count(folder + "/" + name) > 0;
    }

    std::vector<std::string> names() const {
        std::vector<std::string> all;
        for (const auto& [name, inode] : entries) all.push_back(name);
        return all;
    }

private:
    std::optional<std::map<std::string, ino_t>::iterator> find(const std::string& path) {
        for (auto it = entries.begin(); it != entries.end(); ++it)
            if (it->first == path || (caseInsensitive && compareIgnoringAsciiCase(it->first, path) == 0))
                return it;
        return std::nullopt;
    }
    void move(const std::string& from, const std::string& to) {
        auto entry = *find(from);
        const ino_t inode = entry->second;
        entries.erase(entry);
        entries[to] = inode;
    }
    ino_t nextInode_ = 100;
};

TEST(RenameWithoutReplacing, UsesOnlyTheAtomicRenameWhereTheFlagWorks) {
    ScriptedFileSystem fs;
    fs.add("/m/a.mp3");
    fs.add("/m/b.mp3");
    EXPECT_EQ(renameWithoutReplacing("/m/a.mp3", "/m/c.mp3", fs), 0);
    EXPECT_EQ(renameWithoutReplacing("/m/c.mp3", "/m/b.mp3", fs), EEXIST);
    EXPECT_EQ(fs.names(), (std::vector<std::string>{"/m/b.mp3", "/m/c.mp3"}));
    for (const std::string& call : fs.calls) EXPECT_EQ(call, "renameat2");
}

TEST(RenameWithoutReplacing, FallsBackToLinkAndUnlinkWhereTheFlagIsRefused) {
    ScriptedFileSystem fs;
    fs.noReplaceFlag = false;
    fs.add("/nfs/a.mp3");
    fs.add("/nfs/b.mp3");
    const ino_t a = fs.entries["/nfs/a.mp3"];

    EXPECT_EQ(renameWithoutReplacing("/nfs/a.mp3", "/nfs/c.mp3", fs), 0);
    EXPECT_EQ(fs.entries.at("/nfs/c.mp3"), a);
    EXPECT_EQ(fs.entries.count("/nfs/a.mp3"), 0u);
    EXPECT_EQ(fs.calls, (std::vector<std::string>{"renameat2", "link", "unlink"}));

    fs.calls.clear();
    EXPECT_EQ(renameWithoutReplacing("/nfs/c.mp3", "/nfs/b.mp3", fs), EEXIST);
    EXPECT_EQ(fs.names(), (std::vector<std::string>{"/nfs/b.mp3", "/nfs/c.mp3"}));
    EXPECT_EQ(std::count(fs.calls.begin(), fs.calls.end(), "rename"), 0);
}

TEST(RenameWithoutReplacing, ChecksBeforeAPlainRenameWhereHardLinksAreRefusedToo) {
    ScriptedFileSystem fs;
    fs.noReplaceFlag = false;
    fs.hardLinks = false;
    fs.add("/fat/a.mp3");
    fs.add("/fat/b.mp3");

    EXPECT_EQ(renameWithoutReplacing("/fat/a.mp3", "/fat/b.mp3", fs), EEXIST);
    EXPECT_EQ(std::count(fs.calls.begin(), fs.calls.end(), "rename"), 0);
    EXPECT_EQ(fs.names().size(), 2u);

    EXPECT_EQ(renameWithoutReplacing("/fat/a.mp3", "/fat/c.mp3", fs), 0);
    EXPECT_EQ(fs.names(), (std::vector<std::string>{"/fat/b.mp3", "/fat/c.mp3"}));
    EXPECT_EQ(fs.calls.back(), "rename");
}

TEST(RenameWithoutReplacing, ChangesOnlyTheLetterCaseOnACaseInsensitiveMount) {
    for (bool flag : {true, false}) {
        for (bool links : {true, false}) {
            SCOPED_TRACE(testing::Message() << "noreplace " << flag << ", links " << links);
            ScriptedFileSystem fs;
            fs.caseInsensitive = true;
            fs.noReplaceFlag = flag;
            fs.hardLinks = links;
            fs.add("/usb/rain.mp3");
            fs.add("/usb/Snow.mp3");
            const ino_t rain = fs.entries["/usb/rain.mp3"];

            EXPECT_EQ(renameWithoutReplacing("/usb/rain.mp3", "/usb/Rain.mp3", fs), 0);
            EXPECT_EQ(fs.names(), (std::vector<std::string>{"/usb/Rain.mp3", "/usb/Snow.mp3"}));
            EXPECT_EQ(fs.entries.at("/usb/Rain.mp3"), rain);

            // Another file that differs only in case is still a taken name.
            EXPECT_EQ(renameWithoutReplacing("/usb/Rain.mp3", "/usb/snow.mp3", fs), EEXIST);
            EXPECT_EQ(fs.names(), (std::vector<std::string>{"/usb/Rain.mp3", "/usb/Snow.mp3"}));
        }
    }
}

// FAT through FUSE refuses the rename with EEXIST, has no hard links, and numbers the
// inode of each spelling apart, so only the folder's listing tells a case alias.
TEST(RenameWithoutReplacing, ChangesTheLetterCaseWhereEachSpellingHasItsOwnInode) {
    ScriptedFileSystem fs;
    fs.caseInsensitive = true;
    fs.hardLinks = false;
    fs.inodePerSpelling = true;
    fs.add("/fat/rain.mp3");
    fs.add("/fat/Snow.mp3");

    EXPECT_EQ(renameWithoutReplacing("/fat/rain.mp3", "/fat/Rain.mp3", fs), 0);
    EXPECT_EQ(fs.names(), (std::vector<std::string>{"/fat/Rain.mp3", "/fat/Snow.mp3"}));
    EXPECT_TRUE(isCaseAlias("/fat/Snow.mp3", "/fat/SNOW.mp3", fs));
    EXPECT_FALSE(isCaseAlias("/fat/Rain.mp3", "/fat/Snow.mp3", fs));

    // A different file whose name is taken in other letters stays a taken name.
    EXPECT_EQ(renameWithoutReplacing("/fat/Rain.mp3", "/fat/snow.mp3", fs), EEXIST);
    EXPECT_EQ(fs.names(), (std::vector<std::string>{"/fat/Rain.mp3", "/fat/Snow.mp3"}));
}

// Where RENAME_NOREPLACE is refused, the new name is linked first and the old one
// dropped; should dropping it fail, the new link goes again, so no file has two names.
TEST(RenameWithoutReplacing, TheLinkFallbackUndoesItsLinkWhenTheSecondStepFails) {
    struct UnlinkFails : ScriptedFileSystem {
        int unlink(const std::string& path) override {
            if (path == "/nfs/a.mp3") return EACCES;
            return ScriptedFileSystem::unlink(path);
        }
    } fs;
    fs.noReplaceFlag = false;
    fs.add("/nfs/a.mp3");
    EXPECT_EQ(renameWithoutReplacing("/nfs/a.mp3", "/nfs/b.mp3", fs), EACCES);
    EXPECT_EQ(fs.names(), (std::vector<std::string>{"/nfs/a.mp3"}));
}

TEST(RenameWithoutReplacing, TwoHardLinksOfOneFileAreNotMistakenForACaseChange) {
    TempFolder dir;
    dir.write("one.mp3", "bytes");
    ASSERT_EQ(::link((dir / "one.mp3").c_str(), (dir / "two.mp3").c_str()), 0);
    EXPECT_EQ(renameWithoutReplacing(dir / "one.mp3", dir / "two.mp3"), EEXIST);
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"one.mp3", "two.mp3"}));
}

}  // namespace
}  // namespace quilvane
