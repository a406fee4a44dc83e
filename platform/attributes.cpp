#include "platform/attributes.h"

#include <cerrno>
#include <sys/stat.h>

#include "platform/paths.h"

namespace quilvane {

std::optional<std::uint16_t> attributeWord(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    std::uint16_t word = 0;
    if ((st.st_mode & S_IWUSR) == 0) word |= attr::ReadOnly;
    if (fileNameOf(path).starts_with('.')) word |= attr::Hidden;
    if (S_ISDIR(st.st_mode)) word |= attr::Folder;
    return word;
}

int setReadOnly(const std::string& path, bool readOnly) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return errno;
    mode_t mode = st.st_mode & 07777;
    mode = readOnly ? (mode & ~(S_IWUSR | S_IWGRP | S_IWOTH)) : (mode | S_IWUSR);
    return ::chmod(path.c_str(), mode) == 0 ? 0 : errno;
}

int setAttributeWord(const std::string& path, std::uint16_t word) {
    return setReadOnly(path, (word & attr::ReadOnly) != 0);
}

}  // namespace quilvane
