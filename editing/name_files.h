#pragma once
// Text files of names: read as UTF-8 when valid, otherwise as the legacy code page
// (GB18030), up to the first zero byte, split at CR LF, CR or LF; written as UTF-8 with
// CR LF after every line.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quilvane {

std::vector<std::string> splitNameText(std::string_view bytes);
// Nothing when the file cannot be read.
// Nothing also for a file that is not text (control bytes other than line ends and
// tabs, or bytes neither UTF-8 nor GB18030 can read: a song, a picture); `notText` then
// says so. A zero byte ends the text.
std::optional<std::vector<std::string>> readNameFile(const std::string& path, bool* notText = nullptr);
// False when the file cannot be created or written.
bool writeNameFile(const std::string& path, const std::vector<std::string>& lines);

}  // namespace quilvane
