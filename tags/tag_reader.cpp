#include "tags/tag_reader.h"

#include "platform/file_io.h"

namespace quilvane {

// A reading that fails leaves both objects knowing no file, so that nothing of the file
// read before can be written into this one.
void readBothTags(const std::string& path, TID3V1& v1, TID3V2& v2, OpenFile::Known known) {
    v2.forgetFile(path);
    v1.forgetFile(path);
    readBothTags(OpenFile::forReading(path, known), v1, v2);
}

void readBothTags(const OpenFile& file, TID3V1& v1, TID3V2& v2) {
    v2.forgetFile(file.path());
    v1.forgetFile(file.path());
    const TagBlock tail = readTagBlock(file);
    v2.ReadFrom(file, file.readStringAt(0, TID3V2::kFirstRead), &tail);
    v1.LoadFrom(file.path(), file, &tail);
}

void readId3v2(const std::string& path, TID3V2& v2, OpenFile::Known known) {
    v2.forgetFile(path);
    const OpenFile file = OpenFile::forReading(path, known);
    v2.ReadFrom(file, file.readStringAt(0, TID3V2::kFirstRead));
}

}  // namespace quilvane
