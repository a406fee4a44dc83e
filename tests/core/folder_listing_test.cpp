// Folder listings, attributes and the file list's entries, on real folders.
#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/attributes.h"
#include "platform/file_list_entries.h"
#include "platform/file_mask.h"
#include "platform/folder_listing.h"
#include "platform/paths.h"
#include "support/temp_folder.h"

namespace quilvane {
namespace {

using test::TempFolder;

// A folder as users have them: dot-names, a link out of the tree, a name in the
// legacy code page that is not valid UTF-8.
class ListingFixture : public ::testing::Test {
protected:
    void SetUp() override {
        dir.write("b.mp3", "1234");
        dir.write("A.MP3", "12");
        dir.write(".hidden.mp3", "x");
        dir.makeFolder(".git");
        dir.write("Album/c.mp3", "x");
        dir.write("notes.txt", "x");
        outside.makeFolder("Elsewhere");
        ASSERT_EQ(::symlink((outside / "Elsewhere").c_str(), (dir / "Link").c_str()), 0);
        gbkName = "\xB8\xE8\xC7\xFA.mp3";  // "歌曲.mp3" in GBK
        dir.write(gbkName, "gbk");
    }
    TempFolder dir, outside;
    std::string gbkName;
};

TEST_F(ListingFixture, ListsEveryEntryButDotNamesAndMarksLinksToFolders) {
    std::vector<FolderEntry> entries;
    ASSERT_EQ(listFolder(dir.path(), entries), 0);
    std::map<std::string, EntryKind> kinds;
    for (const FolderEntry& e : entries) kinds[e.name] = e.kind;
    EXPECT_EQ(kinds.size(), 6u);
    EXPECT_EQ(kinds.count(".hidden.mp3") + kinds.count(".git"), 0u);
    EXPECT_EQ(kinds["Album"], EntryKind::Folder);
    EXPECT_EQ(kinds["Link"], EntryKind::LinkToFolder);
    EXPECT_EQ(kinds[gbkName], EntryKind::File);
    for (const FolderEntry& e : entries) EXPECT_EQ(e.isDescendable(), e.name == "Album") << e.name;

    EXPECT_EQ(listFolder(dir / "missing", entries), ENOENT);
}

TEST_F(ListingFixture, FileListShowsFilesOrBracketedFoldersSortedIgnoringCase) {
    std::vector<std::string> files;
    ASSERT_EQ(readFileListEntries(dir.path(), "*.*", ListContent::Files, files), 0);
    EXPECT_EQ(files, (std::vector<std::string>{"A.MP3", "b.mp3", "notes.txt", gbkName}));

    ASSERT_EQ(readFileListEntries(dir.path(), "*.mp3", ListContent::Files, files), 0);
    EXPECT_EQ(files, (std::vector<std::string>{"A.MP3", "b.mp3", gbkName}));

    std::vector<std::string> folders;
    ASSERT_EQ(readFileListEntries(dir.path(), "*.*", ListContent::Folders, folders), 0);
    EXPECT_EQ(folders, (std::vector<std::string>{"[.]", "[..]", "[Album]", "[Link]"}));
    ASSERT_EQ(readFileListEntries("/", "*.*", ListContent::Folders, folders), 0);
    EXPECT_EQ(std::count(folders.begin(), folders.end(), "[..]"), 0) << "the root has no parent";
}

TEST(Paths, JoiningNeverDoublesTheSeparator) {
    EXPECT_EQ(joinPath("/", "A"), "/A");
    EXPECT_EQ(joinPath("/Out/", "A"), "/Out/A");
    EXPECT_EQ(joinPath("/Out", "A"), "/Out/A");
    EXPECT_EQ(folderOf("/A"), "/");
    EXPECT_EQ(folderOf("/Out/A"), "/Out");
    EXPECT_EQ(fileNameOf("/Out/A.mp3"), "A.mp3");
}

TEST(FileMask, MatchesLikeTheFilterList) {
    EXPECT_TRUE(maskMatches("*.*", "readme"));
    EXPECT_TRUE(maskMatches("*.*", "a.b.mp3"));
    EXPECT_TRUE(maskMatches("*.mp3", "Song.MP3"));
    EXPECT_FALSE(maskMatches("*.mp3", "song.mp3x"));
    EXPECT_FALSE(maskMatches("*.mp3", "mp3"));
    EXPECT_TRUE(maskMatches("*.jpeg", "photo.JPEG"));
    EXPECT_TRUE(maskMatches("a?c.txt", "a中c.txt"));
}

TEST(Attributes, MapReadOnlyHiddenAndFolder) {
    TempFolder dir;
    const std::string file = dir.write("song.mp3", "x");
    const std::string hidden = dir.write(".h.txt", "x");
    const std::string folder = dir.makeFolder("Album");

    EXPECT_EQ(attributeWord(file), 0);
    EXPECT_EQ(attributeWord(hidden), attr::Hidden);
    EXPECT_EQ(attributeWord(folder), attr::Folder);
    EXPECT_FALSE(attributeWord(dir / "missing"));

    ASSERT_EQ(setAttributeWord(file, attr::ReadOnly | attr::System | attr::Archive), 0);
    EXPECT_EQ(attributeWord(file), attr::ReadOnly) << "system and archive do not exist here";
    struct stat st {};
    ::stat(file.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0222, 0u) << "read-only takes every write bit away";

    ASSERT_EQ(setReadOnly(file, false), 0);
    ::stat(file.c_str(), &st);
    EXPECT_NE(st.st_mode & S_IWUSR, 0u);
    EXPECT_EQ(attributeWord(file), 0);
}

}  // namespace
}  // namespace quilvane
