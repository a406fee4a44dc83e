#include "files/transfer_error.h"

#include "platform/display_name.h"
#include "platform/system_reason.h"

namespace quilvane {
namespace {

std::string describe(TransferError::Kind kind, const std::string& file, int error) {
    const std::string path = displayName(file);
    switch (kind) {
    case TransferError::Kind::CannotOpen: return "Cannot open file " + path;
    case TransferError::Kind::CannotCreate: return "Cannot create file " + path;
    case TransferError::Kind::CannotMove: return "Cannot move file " + path;
    case TransferError::Kind::CannotWrite: return "Cannot write file " + path;
    case TransferError::Kind::CopiedNotMoved:
        return "已复制，但无法删除原文件 " + path + (error ? std::string("：") + systemReason(error) : std::string()) +
               "，文件现在有两份";
    case TransferError::Kind::CannotList:
        return "无法读取文件夹 " + path + (error ? std::string("：") + systemReason(error) : std::string());
    case TransferError::Kind::IntoItself: return "不能把文件夹复制或移动到它自身或它的子文件夹中：" + path;
    case TransferError::Kind::AlreadyThere: return "文件夹已在目标文件夹中，未作改动：" + path;
    }
    return path;
}

}  // namespace

TransferError::TransferError(Kind kind, const std::string& path, int error)
    : std::runtime_error(describe(kind, path, error)), kind_(kind), path_(path), error_(error) {}

}  // namespace quilvane
