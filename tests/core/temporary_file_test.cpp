// The new files that rewrites and copies write beside their targets: they fit beside any
// name, they are never named in a message, and a process killed in the middle of a
// rewrite leaves nothing behind.
#include <csignal>
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "files/folder_transfer.h"
#include "platform/file_error.h"
#include "platform/temporary_file.h"
#include "support/id3_builder.h"
#include "support/temp_folder.h"
#include "tags/id3v2.h"

namespace quilvane {
namespace {

using test::audio;
using test::fingerprint;
using test::TempFolder;

std::string longChineseName() {
    std::string name;
    for (int i = 0; i < 80; ++i) name += "歌";
    return name + ".mp3";  // 244 bytes
}

TEST(TemporaryFiles, ATagGrowsBesideANameNearTheLimit) {
    TempFolder dir;
    const std::string sound = audio(40000, 8);
    const std::string path = dir.write(longChineseName(), test::tag(3, {test::frame(3, "TIT2", std::string("\0Old", 4))}) + sound);
    TID3V2 v2;
    v2.LoadTag(path);
    v2.Frames[TID3V2::Title] = std::string(700, 'T');
    ASSERT_TRUE(v2.SaveTag());
    TID3V2 again;
    again.LoadTag(path);
    EXPECT_EQ(again.Frames[TID3V2::Title], std::string(700, 'T'));
    EXPECT_EQ(fingerprint(dir.read(longChineseName()).substr(static_cast<std::size_t>(again.TagSize))), fingerprint(sound));
    EXPECT_EQ(dir.names(), std::vector<std::string>{longChineseName()});
}

// A full disk in the middle of a rewrite: the message is about the user's file, and
// nothing is left behind, also where the new file has a name from the start (FAT, FUSE
// and network mounts); a final rename that fails takes the new file away too.
class NamedOrNot : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { TemporaryFile::useNamedFilesOnly(GetParam()); }
    void TearDown() override { TemporaryFile::useNamedFilesOnly(false); }
};
INSTANTIATE_TEST_SUITE_P(TemporaryFiles, NamedOrNot, ::testing::Values(false, true));

TEST_P(NamedOrNot, AFailedRewriteNamesTheUsersFileAndLeavesNothing) {
    TempFolder dir;
    const std::string original = test::tag(3, {}, 200) + audio(100000, 4);
    const std::string path = dir.write(longChineseName(), original);
    TID3V2 v2;
    v2.LoadTag(path);
    v2.Frames[TID3V2::Title] = std::string(900, 'x');
    std::string message;
    rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limited{50000, old.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &limited);
    try {
        v2.SaveTag();
    } catch (const FileError& e) {
        message = e.what();
    }
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_NE(message.find(path), std::string::npos) << message;
    EXPECT_EQ(message.find(".quilvane"), std::string::npos) << message;
    EXPECT_EQ(fingerprint(dir.read(longChineseName())), fingerprint(original));
    EXPECT_EQ(dir.names(), std::vector<std::string>{longChineseName()});

    // The final rename fails (a folder took the name meanwhile).
    {
        TemporaryFile file(dir / "taken");
        ASSERT_EQ(file.error(), 0);
        ASSERT_EQ(file.write("new bytes"), 0);
        ASSERT_EQ(file.finish(false), 0);
        dir.write("taken/inside", "x");
        EXPECT_NE(file.replaceTarget(), 0);
    }
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"taken", longChineseName()}));
    EXPECT_EQ(dir.read("taken/inside"), "x");
}

// Size of the file a process has open for writing in `folder`, other than `except`
// (the new file of a rewrite, which has no name).
std::int64_t newFileBeingWritten(pid_t pid, const std::string& original) {
    const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
    std::int64_t largest = -1;
    if (DIR* d = ::opendir(fds.c_str())) {
        while (const dirent* e = ::readdir(d)) {
            char target[4096];
            const std::string fd = fds + "/" + e->d_name;
            const ssize_t n = ::readlink(fd.c_str(), target, sizeof target - 1);
            if (n <= 0 || std::string(target, static_cast<std::size_t>(n)) == original) continue;
            struct stat st {};
            if (::stat(fd.c_str(), &st) == 0 && S_ISREG(st.st_mode)) largest = std::max<std::int64_t>(largest, st.st_size);
        }
        ::closedir(d);
    }
    return largest;
}

// kill -9 half way through the rewrite of a 200 MB file: the original is intact and no
// temporary file is left, on each local file system that has unnamed files.
TEST(TemporaryFiles, AKillInTheMiddleOfARewriteLeavesNothingBehind) {
    const std::string sound = audio(200u << 20, 3);
    const std::string original = test::tag(3, {test::frame(3, "TIT2", std::string("\0Old", 4))}) + sound;
    for (const char* base : {"/tmp", "/dev/shm"}) {
        SCOPED_TRACE(base);
        char pattern[64];
        std::snprintf(pattern, sizeof pattern, "%s/quilvane-kill-XXXXXX", base);
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        const std::string folder = pattern;
        const std::string path = folder + "/big.mp3";
        {
            std::FILE* f = std::fopen(path.c_str(), "wb");
            ASSERT_EQ(std::fwrite(original.data(), 1, original.size(), f), original.size());
            std::fclose(f);
        }
        bool killedMidway = false;
        for (int attempt = 0; attempt < 5 && !killedMidway; ++attempt) {
            const pid_t child = ::fork();
            if (child == 0) {
                TID3V2 v2;
                v2.LoadTag(path);
                v2.Frames[TID3V2::Title] = std::string(800, 'N');  // grows: the whole file is rewritten
                v2.SaveTag();
                ::_exit(0);
            }
            std::int64_t seen = -1;
            for (int spin = 0; spin < 200000 && seen < (50 << 20); ++spin) {
                seen = newFileBeingWritten(child, path);
                int status = 0;
                if (::waitpid(child, &status, WNOHANG) == child) break;
            }
            if (seen >= (50 << 20)) {
                ::kill(child, SIGKILL);
                killedMidway = true;
            }
            int status = 0;
            ::waitpid(child, &status, 0);
            if (!killedMidway) {
                // It finished first: put the original back and try again.
                std::FILE* f = std::fopen(path.c_str(), "wb");
                std::fwrite(original.data(), 1, original.size(), f);
                std::fclose(f);
            }
        }
        EXPECT_TRUE(killedMidway) << "the rewrite was never caught half way";
        std::vector<std::string> names;
        if (DIR* d = ::opendir(folder.c_str())) {
            while (const dirent* e = ::readdir(d))
                if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.push_back(e->d_name);
            ::closedir(d);
        }
        EXPECT_EQ(names, std::vector<std::string>{"big.mp3"});
        EXPECT_EQ(fingerprint(TempFolder::readFile(path)), fingerprint(original));
        std::system(("rm -rf '" + folder + "'").c_str());
    }
}

// Where a file system has no unnamed files, a crash leaves a hidden temporary file; it
// does not keep the folder from being deleted.
TEST(TemporaryFiles, ALeftoverTemporaryFileDoesNotKeepAFolder) {
    TempFolder dir;
    dir.write("Album/a.mp3", "a");
    dir.write("Album/.quilvane-x1y2z3", "half a rewrite");
    dir.write("Keep/.hidden", "the user's own");
    std::vector<std::string> reports;
    deleteEntireDir(dir / "Album", [&](const std::string& r) { reports.push_back(r); });
    EXPECT_FALSE(dir.exists("Album"));
    deleteEntireDir(dir / "Keep", [&](const std::string& r) { reports.push_back(r); });
    EXPECT_TRUE(dir.exists("Keep/.hidden")) << "only the program's own temporary files go";
}

}  // namespace
}  // namespace quilvane
