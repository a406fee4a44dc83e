#include "platform/file_error.h"

#include "platform/display_name.h"
#include "platform/system_reason.h"

namespace quilvane {
namespace {

std::string describe(FileError::Kind kind, const std::string& file, int error) {
    const std::string path = displayName(file);
    std::string text;
    switch (kind) {
    case FileError::Kind::Open: text = "无法打开文件 " + path; break;
    case FileError::Kind::Read: text = "无法读取文件 " + path; break;
    case FileError::Kind::Write: text = "无法写入文件 " + path; break;
    case FileError::Kind::Create: text = "无法创建文件 " + path; break;
    case FileError::Kind::TagBeyondEnd:
        return "文件 " + path + " 的ID3v2标签声明的长度超出了文件本身，为免损坏音频，未作修改";
    case FileError::Kind::UnsupportedTag:
        return "文件 " + path + " 的ID3v2标签格式无法识别，为免损坏音频，未作修改";
    case FileError::Kind::NotRegularFile: return path + " 不是普通文件（管道、设备或套接字），未打开";
    case FileError::Kind::UnreadableCharacter:
        return "文件 " + path + " 的标签文字中有无法识别的字符（\xEF\xBF\xBD），请改正后再保存；未作修改";
    case FileError::Kind::ChangedSinceLoad:
        return "文件 " + path + " 在读取标签之后已被其他程序改动，为免损坏音频，未作修改；请重新读取后再保存";
    }
    if (error != 0) text += std::string("（") + systemReason(error) + "）";
    return text;
}

}  // namespace

FileError::FileError(Kind kind, std::string path, int error)
    : std::runtime_error(describe(kind, path, error)), kind_(kind), path_(std::move(path)), error_(error) {}

}  // namespace quilvane
