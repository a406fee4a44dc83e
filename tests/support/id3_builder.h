#pragma once
// Byte builders for the tag tests: frames and tags of each ID3v2 version, and audio
// bytes that look like MPEG frames, so no sample file is needed.
#include <string>
#include <vector>

namespace quilvane::test {

std::string synchsafe(unsigned value);
std::string bigEndian(unsigned value, int bytes);

// One frame in the layout of the given major version (2, 3 or 4).
std::string frame(int major, const std::string& id, const std::string& body, unsigned char flags0 = 0,
                  unsigned char flags1 = 0);
// A whole tag: header with `flags`, the frames, then zero padding up to `totalSize`
// (total size including the 10-byte header; 0 = no padding).
std::string tag(int major, const std::vector<std::string>& frames, unsigned totalSize = 0,
                unsigned char flags = 0);
// `size` bytes of MPEG-like audio: frame headers and varied data, 0xFF bytes included.
std::string audio(std::size_t size, unsigned seed = 1);

// Hex digest-like fingerprint for comparing large byte strings in messages.
std::string fingerprint(const std::string& bytes);

}  // namespace quilvane::test
