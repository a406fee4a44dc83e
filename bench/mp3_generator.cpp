#include "mp3_generator.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace quilvane::bench {
namespace fs = std::filesystem;

void writeMp3(const std::string& path, const Mp3Options& options) {
    std::string frame(417, '\0');
    frame[0] = '\xFF';  // sync, MPEG-1, Layer III, no CRC
    frame[1] = '\xFB';
    frame[2] = '\x90';  // 128 kbit/s, 44.1 kHz, no padding
    frame[3] = '\x64';  // joint stereo
    std::ofstream out(path, std::ios::binary);
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
