#include "mp3_generator.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace quilvane::bench {
namespace fs = std::filesystem;

namespace {

std::string textFrame(const std::string& id, const std::string& text) {
    const std::size_t size = text.size() + 1;
    std::string frame = id;
    for (int shift = 24; shift >= 0; shift -= 8) frame += static_cast<char>((size >> shift) & 0xFF);
    frame += std::string(3, '\0');  // flags, then encoding 0
    return frame + text;
}

std::string id3v2Tag(const Mp3Options& options) {
    std::string body = textFrame("TIT2", options.title) + textFrame("TPE1", options.artist);
    body.resize(body.size() + static_cast<std::size_t>(options.padding), '\0');
    std::string tag = "ID3\x03";
    tag += std::string(2, '\0');
    for (int shift = 21; shift >= 0; shift -= 7) tag += static_cast<char>((body.size() >> shift) & 0x7F);
    return tag + body;
}

}  // namespace

void writeMp3(const std::string& path, const Mp3Options& options) {
    std::string frame(417, '\0');
    frame[0] = '\xFF';  // sync, MPEG-1, Layer III, no CRC
    frame[1] = '\xFB';
    frame[2] = '\x90';  // 128 kbit/s, 44.1 kHz, no padding
    frame[3] = '\x64';  // joint stereo
    std::ofstream out(path, std::ios::binary);
    if (options.id3v2) out << id3v2Tag(options);
    for (int i = 0; i < options.frames; ++i) out << frame;
    if (options.id3v1) {
        std::string tag(128, '\0');
        tag.replace(0, 3, "TAG");
        tag.replace(3, std::min<std::size_t>(30, options.title.size()), options.title.substr(0, 30));
        tag.replace(33, std::min<std::size_t>(30, options.artist.size()), options.artist.substr(0, 30));
        tag[127] = 17;
        out << tag;
    }
    if (!out) throw std::runtime_error("cannot write " + path);
}

void writeMp3Folder(const std::string& folder, int count, const std::string& prefix,
                    const Mp3Options& options) {
    fs::create_directories(folder);
    char name[32];
    for (int i = 0; i < count; ++i) {
        std::snprintf(name, sizeof name, "%05d.mp3", i);
        writeMp3(folder + "/" + prefix + name, options);
    }
}

std::vector<std::string> writeMp3Tree(const std::string& root, int folders, int perFolder,
                                      const Mp3Options& options) {
    std::vector<std::string> paths;
    char name[32];
    for (int f = 0; f < folders; ++f) {
        std::snprintf(name, sizeof name, "/Folder %03d", f);
        const std::string folder = root + name;
        writeMp3Folder(folder, perFolder, "Song ", options);
        for (int i = 0; i < perFolder; ++i) {
            std::snprintf(name, sizeof name, "/Song %05d.mp3", i);
            paths.push_back(folder + name);
        }
    }
    return paths;
}

std::string makeTemporaryFolder() {
    std::string pattern = (fs::temp_directory_path() / "quilvane-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    return pattern;
}

void removeTree(const std::string& folder) {
    std::error_code ec;
    fs::remove_all(folder, ec);
}

}  // namespace quilvane::bench
