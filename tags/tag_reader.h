#pragma once
// Both tags of a file through one opening of it: the head read once (enough for most
// ID3v2 tags, the rest of a larger one read after it), the last 128 bytes once. The
// track list, the scan and the tag editor read files this way.
#include <string>

#include "platform/file_io.h"
#include "tags/id3v1.h"
#include "tags/id3v2.h"

namespace quilvane {

// As LoadTag on both objects. Throws FileError.
void readBothTags(const std::string& path, TID3V1& v1, TID3V2& v2,
                  OpenFile::Known known = OpenFile::Known::Nothing);
// Both tags from a file already open, named as it was opened.
void readBothTags(const OpenFile& file, TID3V1& v1, TID3V2& v2);
// As LoadTag on the ID3v2 object alone.
void readId3v2(const std::string& path, TID3V2& v2, OpenFile::Known known = OpenFile::Known::Nothing);

}  // namespace quilvane
