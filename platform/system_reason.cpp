#include "platform/system_reason.h"

#include <cerrno>
#include <cstring>

namespace quilvane {

std::string systemReason(int error) {
    switch (error) {
    case ENOENT: return "文件或文件夹不存在";
    case EACCES: return "没有访问权限";
    case EPERM: return "操作不被允许";
    case EROFS: return "文件系统是只读的";
    case ENOSPC: return "磁盘空间不足";
    case EDQUOT: return "超出磁盘配额";
    case EFBIG: return "文件太大";
    case ENAMETOOLONG: return "名称或路径太长";
    case EEXIST: return "同名的文件或文件夹已存在";
    case EISDIR: return "这是一个文件夹";
    case ENOTDIR: return "路径中有一部分不是文件夹";
    case ENOTEMPTY: return "文件夹不是空的";
    case EBUSY: return "正在被使用";
    case EIO: return "读写设备时出错";
    case EXDEV: return "不在同一个文件系统上";
    case ELOOP: return "符号链接太多层";
    case EMFILE:
    case ENFILE: return "打开的文件太多";
    case EINVAL: return "文件系统不支持该操作";
    default: return std::strerror(error);
    }
}

}  // namespace quilvane
