#include "platform/qt/picture.h"

#include "platform/file_io.h"

namespace quilvane {

QImage loadPicture(const std::string& path) {
    try {
        const OpenFile file = OpenFile::forReading(path);
        const std::string bytes = file.readStringAt(0, static_cast<std::size_t>(file.size()));
        return QImage::fromData(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    } catch (const FileError&) {
        return {};
    }
}

}  // namespace quilvane
