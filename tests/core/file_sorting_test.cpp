// Sorting files into artist folders or one collecting folder, on real folders.
#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>

#include "files/file_sorting.h"
#include "naming/tree_walk.h"
#include "platform/attributes.h"
#include "platform/paths.h"
#include "support/id3_builder.h"
#include "support/temp_folder.h"

namespace quilvane {
namespace {

using test::TempFolder;

class Sorting : public ::testing::Test {
protected:
    SortCounts sort(const std::function<void(SortSettings&)>& adjust = {}) {
        SortSettings s;
        s.searchPath = dir / "In";
        s.destPath = dir / "Out";
        s.collectPath = dir / "All";
        if (adjust) adjust(s);
        FileSorter sorter(s, stop, {});
        return sorter.run();
    }
    TempFolder dir;
    std::atomic<bool> stop{false};
};

TEST_F(Sorting, ArtistsComeFromTheTextBeforeTheLastSeparator) {
    dir.write("In/Tom - Rain.mp3");
    dir.write("In/Tom-Snow.mp3");
    dir.write("In/Rain.mp3");
    dir.write("In/A - B - C.mp3");
    const SortCounts counts = sort();
    EXPECT_EQ(counts.sorted, 3);
    EXPECT_EQ(counts.skipped, 1);
    EXPECT_EQ(dir.names("Out/Tom"), (std::vector<std::string>{"Tom - Rain.mp3", "Tom-Snow.mp3"}));
    EXPECT_EQ(dir.names("Out/A - B"), std::vector<std::string>{"A - B - C.mp3"});
    EXPECT_EQ(dir.names("In"), std::vector<std::string>{"Rain.mp3"});
}

TEST_F(Sorting, KeepingOriginalsCopiesButCollectingAlwaysMoves) {
    dir.write("In/Tom - Rain.mp3", "rain");
    sort([](SortSettings& s) { s.keepOriginal = true; });
    EXPECT_EQ(dir.read("In/Tom - Rain.mp3"), "rain");
    EXPECT_EQ(dir.read("Out/Tom/Tom - Rain.mp3"), "rain");

    sort([](SortSettings& s) {
        s.keepOriginal = true;
        s.byArtist = false;
    });
    EXPECT_EQ(dir.names("All"), std::vector<std::string>{"Tom - Rain.mp3"});
    EXPECT_TRUE(dir.names("In").empty());

    // With the sub-folders: their files are gathered, the sub-folders themselves stay.
    dir.write("In/CD1/Ann - Snow.mp3", "snow");
    sort([](SortSettings& s) {
        s.keepOriginal = true;
        s.byArtist = false;
        s.withSubfolders = true;
    });
    EXPECT_EQ(dir.read("All/Ann - Snow.mp3"), "snow");
    EXPECT_EQ(dir.names("In"), std::vector<std::string>{"CD1"});
}

TEST_F(Sorting, OnlyExistingFoldersAndTheSearchFolderGoingAway) {
    dir.write("In/Tom - Rain.mp3");
    dir.write("In/Ann - Snow.mp3");
    dir.makeFolder("Out/Ann");
    const SortCounts counts = sort([](SortSettings& s) { s.onlyExisting = true; });
    EXPECT_EQ(counts.sorted, 1);
    EXPECT_EQ(counts.skipped, 1);
    EXPECT_FALSE(dir.exists("Out/Tom"));

    sort();
    EXPECT_FALSE(dir.exists("In")) << "emptied, it is removed";
    dir.makeFolder("In");
    sort();
    EXPECT_FALSE(dir.exists("In")) << "an empty search folder is removed too";
}

TEST_F(Sorting, SubfoldersExtensionsAndReadOnlyFiles) {
    dir.write("In/CD1/Tom - a.mp3");
    dir.write("In/CD2/Tom - b.mp3");
    dir.write("In/CD2/b.wma");
    dir.write("In/Tom - c.wma");
    dir.write("In/Tom - d.MP3");
    ::chmod((dir / "In/Tom - c.wma").c_str(), 0444);
    ::chmod((dir / "In/CD1/Tom - a.mp3").c_str(), 0444);
    const SortCounts counts = sort([](SortSettings& s) {
        s.withSubfolders = true;
        s.restrictExt = true;
        s.extFilter = ".MP3";
    });
    EXPECT_EQ(counts.sorted, 3);
    EXPECT_EQ(counts.skipped, 2);
    EXPECT_FALSE(dir.exists("In/CD1")) << "emptied sub-folders go";
    EXPECT_EQ(dir.names("In/CD2"), std::vector<std::string>{"b.wma"});
    EXPECT_EQ(attributeWord(dir / "Out/Tom/Tom - a.mp3"), 0);
    struct stat skipped {};
    ASSERT_EQ(::stat((dir / "In/Tom - c.wma").c_str(), &skipped), 0);
    EXPECT_EQ(skipped.st_mode & 0777, 0444u) << "a file passed over keeps its permissions";

    const SortCounts lower = sort([](SortSettings& s) {
        s.restrictExt = true;
        s.extFilter = ".wma";
    });
    EXPECT_EQ(lower.sorted, 0) << "the filter is compared with upper-cased extensions";
}

std::map<std::string, int> hashesUnder(const std::string& root) {
    std::map<std::string, int> seen;
    walkTree(root, [&](const std::string& folder, const std::string& name) {
        ++seen[test::fingerprint(test::TempFolder::readFile(joinPath(folder, name)))];
    });
    return seen;
}

// The dialog opens with the search, target and collecting folders all the same.
TEST_F(Sorting, WithEveryFolderTheSameNoByteIsLost) {
    for (int i = 0; i < 1000; ++i) {
        const std::string sub = i % 3 == 0 ? "" : "Disc" + std::to_string(i % 7) + "/";
        const std::string artist = i % 5 == 0 ? "" : "Artist" + std::to_string(i % 11) + " - ";
        dir.write("In/" + sub + artist + "Song" + std::to_string(i) + ".mp3", test::audio(64 + i, static_cast<unsigned>(i)));
    }
    dir.write("In/Artist3/Artist3 - Already.mp3", "already sorted");
    const auto before = hashesUnder(dir / "In");
    for (bool byArtist : {true, false}) {
        SCOPED_TRACE(byArtist);
        const SortCounts counts = sort([&](SortSettings& s) {
            s.destPath = s.collectPath = s.searchPath;
            s.byArtist = byArtist;
            s.withSubfolders = true;
        });
        EXPECT_GT(counts.sorted + counts.skipped, 1000);
        EXPECT_EQ(hashesUnder(dir / "In"), before);
    }
}

TEST_F(Sorting, AStopRequestEndsTheRunAfterTheEntryInHand) {
    for (int i = 0; i < 200; ++i) dir.write("In/Tom - " + std::to_string(i) + ".mp3");
    SortSettings s;
    s.searchPath = dir / "In";
    s.destPath = dir / "Out";
    int entries = 0;
    FileSorter sorter(s, stop, [&](const SortCounts&) {
        if (++entries == 50) stop = true;
    });
    const SortCounts counts = sorter.run();
    EXPECT_EQ(counts.sorted, 50);
    EXPECT_EQ(dir.names("In").size(), 150u);
    EXPECT_EQ(artistOf(" .. - x.mp3", "-"), "") << "never a way out of the target folder";
    EXPECT_EQ(artistOf("Tom - Rain.mp3", "-"), "Tom");
}

}  // namespace
}  // namespace quilvane
