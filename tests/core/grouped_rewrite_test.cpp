// Tag batches rewrite files into temporary files that are flushed a group at a time and
// only then renamed over their originals: a kill at any moment leaves every file old or
// new, none missing, and what a killed run left behind is removed by the next run.
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/file_io.h"
#include "platform/replacement_group.h"
#include "platform/temporary_file.h"
#include "support/id3_builder.h"
#include "support/temp_folder.h"
#include "tageditor/batch_tags.h"
#include "tags/id3v2.h"

namespace quilvane {
namespace {

using test::TempFolder;

constexpr int kFolders = 20;
constexpr int kPerFolder = 100;
constexpr int kFiles = kFolders * kPerFolder;

std::string relativeName(int n) {
    return "CD" + std::to_string(n / kPerFolder) + "/song" + std::to_string(n % kPerFolder) + ".mp3";
}

// Tags without padding: setting the album makes every one of them outgrow its room.
std::string original(int n) {
    return test::tag(3, {test::frame(3, "TIT2", std::string("\0Song ", 6) + std::to_string(n)),
                         test::frame(3, "TPE1", std::string("\0Artist", 7))}) +
           test::audio(3000, static_cast<unsigned>(n + 1));
}

TagFieldValues newAlbum() {
    TagFieldValues fields;
    fields.v2[TID3V2::Artist] = "Artist";
    fields.v2[TID3V2::Album] = "New album";
    fields.v2Genre = -1;
    return fields;
}

enum class State { Old, New, Broken };

// Old: byte for byte as written. New: the album set, the title taken from the file
// name, the audio behind the tag unchanged.
State stateOf(const TempFolder& dir, int n) {
    const std::string path = dir / relativeName(n);
    const std::string bytes = TempFolder::readFile(path);
    const std::string before = original(n);
    if (bytes == before) return State::Old;
    TID3V2 v2;
    try {
        v2.LoadTag(path);
    } catch (const FileError&) {
        return State::Broken;
    }
    const std::string sound = test::audio(3000, static_cast<unsigned>(n + 1));
    const bool audioKept = v2.TagSize >= 10 && bytes.size() == static_cast<std::size_t>(v2.TagSize) + sound.size() &&
                           bytes.compare(static_cast<std::size_t>(v2.TagSize), std::string::npos, sound) == 0;
    const bool fields = v2.Frames[TID3V2::Album] == "New album" && v2.Frames[TID3V2::Title] == "song" + std::to_string(n % kPerFolder);
    return audioKept && fields ? State::New : State::Broken;
}

int leftovers(const TempFolder& dir) {
    int count = 0;
    for (int f = 0; f < kFolders; ++f)
        for (const std::string& name : dir.names("CD" + std::to_string(f)))
            if (isTemporaryFileName(name)) ++count;
    return count;
}

BatchSettings batchOver(const TempFolder& dir) {
    BatchSettings settings;
    settings.folder = dir.path();
    settings.mode = BatchMode::ChangeV2;
    settings.includeSubfolders = true;
    settings.titleFromFileName = true;
    return settings;
}

class GroupedRewrites : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { TemporaryFile::useNamedFilesOnly(GetParam()); }
    void TearDown() override { TemporaryFile::useNamedFilesOnly(false); }
};
INSTANTIATE_TEST_SUITE_P(UnnamedOrNamed, GroupedRewrites, ::testing::Values(false, true));

// The batch is killed at five points, each run further than the one before (the files
// done already are passed over quickly); after each kill every file is old or new.
TEST_P(GroupedRewrites, AKilledBatchLeavesEveryFileOldOrNewAndTheNextRunCleansUp) {
    TempFolder dir;
    for (int n = 0; n < kFiles; ++n) dir.write(relativeName(n), original(n));
    const TagFieldValues fields = newAlbum();
    int killsHalfWay = 0;
    int killsLeavingCopies = 0;
    for (int kill = 1; kill <= 5; ++kill) {
        int progress[2];
        ASSERT_EQ(::pipe(progress), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(progress[0]);
            const std::atomic<bool> stop{false};
            BatchTagWalk walk(batchOver(dir), stop, [&] { return fields; }, [&](int, const std::string&) {
                const char done = 1;
                if (::write(progress[1], &done, 1) != 1) ::_exit(3);
            });
            ::_exit(walk.run().failure.empty() ? 0 : 2);
        }
        ::close(progress[1]);
        // Killed once it has gone through this many files: the files of the groups in
        // flight are written, not yet in place.
        const int killAt = kill * kFiles / 6;
        char buffer[256];
        for (int seen = 0; seen < killAt;) {
            const ssize_t n = ::read(progress[0], buffer, std::min<std::size_t>(sizeof buffer, killAt - seen));
            if (n <= 0) break;
            seen += static_cast<int>(n);
        }
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ::close(progress[0]);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the run ended before it was killed";

        int fresh = 0;
        for (int n = 0; n < kFiles; ++n) {
            const State state = stateOf(dir, n);
            ASSERT_NE(state, State::Broken) << relativeName(n) << " after kill " << kill;
            fresh += state == State::New;
        }
        if (fresh > 0 && fresh < kFiles) ++killsHalfWay;
        if (leftovers(dir) > 0) ++killsLeavingCopies;
    }
    EXPECT_GE(killsHalfWay, 3) << "the kills should fall in the middle of the batch";
    // Named temporary files of the groups in flight stay behind a kill; unnamed ones
    // have a name only between their link and their rename.
    if (GetParam()) {
        EXPECT_GT(killsLeavingCopies, 0);
    }

    const std::atomic<bool> stop{false};
    const BatchResult result = BatchTagWalk(batchOver(dir), stop, [&] { return fields; }, {}).run();
    EXPECT_EQ(result.failure, "");
    EXPECT_EQ(result.done, kFiles);
    for (int n = 0; n < kFiles; ++n) ASSERT_EQ(stateOf(dir, n), State::New) << relativeName(n);
    EXPECT_EQ(leftovers(dir), 0) << "the next run removes what a killed run left";
}

// Another program's edit after a file was rewritten but before the rewrite is in place
// is kept, and the file is reported as changed; the other files of the group go in.
TEST(ReplacementGroups, AnEditBeforeTheRenameIsKeptAndReported) {
    TempFolder dir;
    const std::string sound = test::audio(5000, 4);
    const std::string oldTag = test::tag(3, {test::frame(3, "TIT2", std::string("\0Old", 4))});
    const std::string a = dir.write("a.mp3", oldTag + sound);
    const std::string b = dir.write("b.mp3", oldTag + sound);
    const std::string newTag = test::tag(3, {test::frame(3, "TIT2", std::string("\0New title", 10))}, 200);
    std::vector<std::pair<std::string, ReplacementGroup::Outcome>> reports;
    {
        ReplacementGroup group([&](const std::string& path, ReplacementGroup::Outcome outcome, int) {
            reports.emplace_back(path, outcome);
        });
        for (const std::string& path : {a, b}) {
            const OpenFile file = OpenFile::forReadWrite(path);
            rewriteWithNewHead(file, newTag, static_cast<std::int64_t>(oldTag.size()), file.size(), &group);
        }
        EXPECT_TRUE(reports.empty()) << "nothing is in place before the group is flushed";
        EXPECT_EQ(TempFolder::readFile(a), oldTag + sound);
        OpenFile other = OpenFile::forReadWrite(b);
        other.writeAt(other.size(), "TAG and more");
        group.placeAll();
    }
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0], std::make_pair(a, ReplacementGroup::Outcome::Placed));
    EXPECT_EQ(reports[1], std::make_pair(b, ReplacementGroup::Outcome::ChangedSince));
    EXPECT_EQ(TempFolder::readFile(a), newTag + sound);
    EXPECT_EQ(TempFolder::readFile(b), oldTag + sound + "TAG and more");
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"a.mp3", "b.mp3"}));
}

// A leftover is removed only when no process holds it: a file still being written (its
// lock held) stays, and so do names that are not this program's or not plain files.
TEST(ReplacementGroups, OnlyLeftoversNoOneHoldsAreRemoved) {
    TempFolder dir;
    dir.write("Album/.quilvane-ab12cd", "a killed run's copy");
    const std::string held = dir.write("Album/.quilvane-ef34gh", "being written");
    dir.write("Album/.quilvane-toolong7", "not one of ours");
    ASSERT_EQ(::symlink("a.mp3", (dir / "Album/.quilvane-ln56kj").c_str()), 0);
    const int fd = ::open(held.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    EXPECT_EQ(removeLeftoverTemporaryFiles(dir / "Album"), 1);
    EXPECT_EQ(dir.names("Album"), (std::vector<std::string>{".quilvane-ef34gh", ".quilvane-ln56kj", ".quilvane-toolong7"}));
    ::close(fd);
    EXPECT_EQ(removeLeftoverTemporaryFiles(dir / "Album"), 1);
    EXPECT_EQ(dir.names("Album"), (std::vector<std::string>{".quilvane-ln56kj", ".quilvane-toolong7"}));
}

}  // namespace
}  // namespace quilvane
