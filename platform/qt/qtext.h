#pragma once
// Between the core's UTF-8 (or raw file-name bytes) and the windows' QString.
#include <QString>
#include <string>
#include <string_view>

#include "platform/display_name.h"

namespace quilvane {

// Bytes that are not valid UTF-8 show as replacement characters.
inline QString toQ(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::string fromQ(const QString& text) { return text.toUtf8().toStdString(); }
// A name or path in the file system's bytes, as the user sees it.
inline QString displayQ(std::string_view bytes) { return toQ(displayName(bytes)); }

}  // namespace quilvane
