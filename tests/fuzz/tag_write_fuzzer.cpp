// Writes a new title into arbitrary bytes taken as the head of an MP3 file, with known
// audio after them, and checks what the program promises of every tag write: when the
// write succeeds, the audio that followed the old tag follows the new one byte for byte;
// when it fails or is refused, the file is unchanged.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "platform/file_error.h"
#include "tags/id3v2.h"

namespace {

// A real folder on a memory file system: a rewrite makes its new file beside the old.
const std::string& fuzzFile() {
    static const std::string path = [] {
        char pattern[] = "/dev/shm/quilvane-write-fuzz-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) std::abort();
        return std::string(pattern) + "/a.mp3";
    }();
    return path;
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

const std::string& audio() {
    static const std::string bytes = [] {
        std::string a;
        for (int i = 0; i < 3000; ++i) a += static_cast<char>(i % 251 == 0 ? 0xFF : (i * 37) & 0xFF);
        return a;
    }();
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = fuzzFile();
    const std::string original = std::string(reinterpret_cast<const char*>(data), size) + audio();
    writeAll(path, original);

    quilvane::TID3V2 v2;
    try {
        v2.LoadTag(path);
    } catch (const quilvane::FileError&) {
        return 0;
    }
    const std::int64_t oldTag = v2.TagSize;
    v2.Frames[quilvane::TID3V2::Title] = "A new title, longer than most";
    bool written = false;
    try {
        written = v2.SaveTag();
    } catch (const quilvane::FileError&) {
        written = false;
    }
    const std::string after = readAll(path);
    if (!written) {
        if (after != original) std::abort();  // a refused or failed write changed the file
        return 0;
    }
    quilvane::TID3V2 check;
    check.LoadTag(path);
    if (static_cast<std::size_t>(check.TagSize) > after.size() || static_cast<std::size_t>(oldTag) > original.size())
        std::abort();
    if (after.substr(static_cast<std::size_t>(check.TagSize)) != original.substr(static_cast<std::size_t>(oldTag)))
        std::abort();  // audio lost or moved
    if (check.Frames[quilvane::TID3V2::Title] != "A new title, longer than most") std::abort();
    return 0;
}
