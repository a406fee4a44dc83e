#include "support/id3_builder.h"

#include <cstdio>
#include <functional>

namespace quilvane::test {

std::string synchsafe(unsigned value) {
    std::string out;
    for (int shift = 21; shift >= 0; shift -= 7) out += static_cast<char>((value >> shift) & 0x7F);
    return out;
}

std::string bigEndian(unsigned value, int bytes) {
    std::string out;
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
    return out;
}

std::string frame(int major, const std::string& id, const std::string& body, unsigned char flags0,
                  unsigned char flags1) {
    const auto size = static_cast<unsigned>(body.size());
    if (major == 2) return id + bigEndian(size, 3) + body;
    std::string out = id + (major == 4 ? synchsafe(size) : bigEndian(size, 4));
    out += static_cast<char>(flags0);
    out += static_cast<char>(flags1);
    return out + body;
}

std::string tag(int major, const std::vector<std::string>& frames, unsigned totalSize, unsigned char flags) {
    std::string body;
    for (const std::string& f : frames) body += f;
    if (totalSize > 10 && body.size() < totalSize - 10) body.resize(totalSize - 10, '\0');
    std::string out = "ID3";
    out += static_cast<char>(major);
    out += '\0';
    out += static_cast<char>(flags);
    return out + synchsafe(static_cast<unsigned>(body.size())) + body;
}

std::string audio(std::size_t size, unsigned seed) {
    std::string out;
    out.reserve(size);
    unsigned state = seed * 2654435761u + 1;
    while (out.size() < size) {
        if (out.size() % 417 == 0) {
            out += "\xFF\xFB\x90\x64";
            continue;
        }
        state = state * 1103515245u + 12345u;
        out += static_cast<char>(state >> 16);
    }
    out.resize(size);
    return out;
}

std::string fingerprint(const std::string& bytes) {
    char text[64];
    std::snprintf(text, sizeof text, "%zu bytes, hash %016zx", bytes.size(), std::hash<std::string>{}(bytes));
    return text;
}

}  // namespace quilvane::test
