// Feeds arbitrary bytes, as a file, to the ID3v1 and ID3v2 readers. The file lives in
// memory (memfd), so each run costs no disk I/O.
#include <cstdint>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

#include "tags/genres.h"
#include "tags/id3v1.h"
#include "tags/id3v2.h"

namespace {

const std::string& memoryFile() {
    static const std::string path = [] {
        const int fd = ::memfd_create("quilvane-fuzz", 0);
        return "/proc/self/fd/" + std::to_string(fd);
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = memoryFile();
    const int fd = std::stoi(path.substr(path.rfind('/') + 1));
    if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) return 0;

    quilvane::TID3V2 v2;
    v2.LoadTag(path);
    volatile int genre = v2.GetGenre();
    (void)genre;
    for (const std::string& frame : v2.Frames) (void)frame.size();

    quilvane::TID3V1 v1;
    v1.LoadTag(path);
    (void)quilvane::GenreName(v1.Genre).size();
    return 0;
}
