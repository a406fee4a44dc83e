#pragma once
// Folder statistics on a worker thread, one per request: the window stays responsive
// while a large tree is walked. The two result texts go to the GUI thread by a queued
// signal; the worker frees itself when it ends. Nothing stops it.
#include <QThread>
#include <cstdint>
#include <string>

namespace quilvane {

class TGetDirInformation : public QThread {
    Q_OBJECT
public:
    explicit TGetDirInformation(std::string dirPath);

    const std::string DirPath;
    std::int32_t FileCount = 0;
    std::int32_t DirCount = 0;
    std::int64_t TotalSize = 0;

signals:
    // Emitted from the worker; connect with a receiver on the GUI thread.
    void counted(const QString& counts, const QString& size);

protected:
    void run() override { Execute(); }

private:
    void Execute();
};

}  // namespace quilvane
