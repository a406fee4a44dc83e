#include "app/gui/get_dir_information.h"

#include "app/folder_statistics.h"
#include "platform/qt/qtext.h"

namespace quilvane {

TGetDirInformation::TGetDirInformation(std::string dirPath) : DirPath(std::move(dirPath)) {
    connect(this, &QThread::finished, this, &QObject::deleteLater);
}

void TGetDirInformation::Execute() {
    const FolderStatistics statistics = countTree(DirPath);
    FileCount = statistics.fileCount;
    DirCount = statistics.dirCount;
    TotalSize = statistics.totalSize;
    emit counted(toQ(countsText(statistics)), toQ(sizeText(statistics)));
}

}  // namespace quilvane
