// Writes the seed files of both fuzz targets: real tags of each kind the readers and
// writers handle (2.2, 2.3, 2.4, unsynchronised, extended header, footer, cover art).
// Usage: write_seeds FOLDER
#include <fstream>
#include <string>

#include "support/id3_builder.h"

using namespace quilvane::test;

namespace {

std::string str(const char* bytes, std::size_t n) { return std::string(bytes, n); }

void put(const std::string& folder, const std::string& name, const std::string& bytes) {
    std::ofstream(folder + "/" + name, std::ios::binary) << bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::string folder = argv[1];
    const std::string sound = audio(400);
    put(folder, "v22", tag(2, {frame(2, "TT2", str("\0Rain", 5)), frame(2, "TP1", str("\0Tom", 4)),
                                frame(2, "COM", str("\0eng\0hi", 7))}) + sound);
    put(folder, "v23", tag(3, {frame(3, "TIT2", str("\x01\xFF\xFE" "R\0a\0", 7)), frame(3, "TALB", str("\0Album", 6)),
                                frame(3, "COMM", str("\0engiTunNORM\0 00A", 17)), frame(3, "TCON", str("\0(17)Rock", 9))},
                             300) + sound);
    put(folder, "v24", tag(4, {frame(4, "TIT2", str("\x03" "Rain", 5)), frame(4, "TDRC", str("\x03" "2004", 5)),
                                frame(4, "TPE1", str("\x02\0T\0o\0m", 7))}) + sound);
    put(folder, "unsync", tag(4, {frame(4, "PRIV", str("o\0\xFF\0\xE0", 5)), frame(4, "TIT2", str("\x03U", 2))}, 0, 0x80) +
                              sound);
    put(folder, "unsync23", tag(3, {frame(3, "TIT2", str("\0\xFF\0\xE0x", 5))}, 0, 0x80) + sound);
    put(folder, "extended23", tag(3, {str("\0\0\0\x06\0\0\0\0\0\0", 10), frame(3, "TIT2", str("\0Ext", 4))}, 0, 0x40) + sound);
    put(folder, "extended24", tag(4, {str("\0\0\0\x06\x01\0", 6), frame(4, "TIT2", str("\x03" "Ext", 4))}, 0, 0x40) + sound);
    const std::string body = frame(4, "TIT2", str("\x03" "Foot", 5));
    put(folder, "footer", "ID3" + str("\x04\0\x10", 3) + synchsafe(static_cast<unsigned>(body.size())) + body + "3DI" +
                              str("\x04\0\x10", 3) + synchsafe(static_cast<unsigned>(body.size())) + sound);
    put(folder, "apic", tag(3, {frame(3, "APIC", str("\0image/jpeg\0\x03\0", 14) + audio(3000, 9)), frame(3, "TIT2", str("\0Cover", 6))}) +
                            sound);
    put(folder, "v1", sound + "TAG" + std::string(30, 't') + std::string(94, '\0') + "\x11");
    return 0;
}
