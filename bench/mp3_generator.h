#pragma once
// Writes folders of small but real MP3 files (MPEG-1 Layer III frames, optionally with
// an ID3v1 tag) for the benchmarks. Nothing generated is committed.
#include <string>
#include <vector>

namespace quilvane::bench {

struct Mp3Options {
    int frames = 4;         // 417-byte frames of 128 kbit/s, 44.1 kHz silence
    bool id3v1 = false;
    bool id3v2 = false;  // a small 2.3 tag (title, artist, padding) before the audio
    int padding = 256;   // zero bytes after the tag's frames
    std::string artist = "Artist";
    std::string title = "Title";
};

// Writes one MP3 file.
void writeMp3(const std::string& path, const Mp3Options& options);
// Writes `count` files named "<prefix>NNNNN.mp3" into `folder` (created if missing).
void writeMp3Folder(const std::string& folder, int count, const std::string& prefix,
                    const Mp3Options& options);
// `folders` folders of `perFolder` files each under `root`; returns every file's path.
std::vector<std::string> writeMp3Tree(const std::string& root, int folders, int perFolder,
                                      const Mp3Options& options);
// A fresh temporary folder; removed by removeTree.
std::string makeTemporaryFolder();
void removeTree(const std::string& folder);

}  // namespace quilvane::bench
