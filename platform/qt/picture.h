#pragma once
// Pictures read from the file's own bytes (any name, whatever its encoding), decoded by
// Qt's image readers; a null image when the file cannot be read or decoded.
#include <QImage>
#include <string>

namespace quilvane {

QImage loadPicture(const std::string& path);

}  // namespace quilvane
