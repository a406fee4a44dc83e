#include "platform/file_error.h"

#include "platform/display_name.h"
#include "platform/system_reason.h"

namespace quilvane {
namespace {

std::string describe(FileError::Kind kind, const std::string& file, int error, const std::string& quoted) {
    const std::string path = displayName(file);
    // A refused text is named; so is the file, where the refusal knows it.
    const std::string unchanged = file.empty() ? "未作修改" : "文件 " + path + " 未作修改";
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
        if (!quoted.empty()) return "“" + quoted + "”中有无法识别的字符（\xEF\xBF\xBD），请改正后再保存；" + unchanged;
        return "文件 " + path + " 的标签文字中有无法识别的字符（\xEF\xBF\xBD），请改正后再保存；未作修改";
    case FileError::Kind::ChangedSinceLoad: return "文件 " + path + " 已被其他程序修改，请刷新后再改；未作修改";
    case FileError::Kind::NotLoaded: return "文件 " + path + " 的标签没有读取成功，不能写入；未作修改";
    case FileError::Kind::LegacyCodePagesClash:
        return "“" + quoted + "”写进这个ID3v1标签后，标签中其他文字会被读错（GBK和Latin-1文字无法在此并存）；" + unchanged;
    case FileError::Kind::NotInLegacyCodePage:
        return "“" + quoted + "”中有ID3v1标签存不下的字符（ID3v1只能存GBK或Latin-1文字，可写入ID3v2标签）；" + unchanged;
    }
    if (error != 0) text += std::string("（") + systemReason(error) + "）";
    return text;
}

}  // namespace

FileError::FileError(Kind kind, std::string path, int error, const std::string& text)
    : std::runtime_error(describe(kind, path, error, text)), kind_(kind), path_(std::move(path)), error_(error), text_(text) {}

}  // namespace quilvane
