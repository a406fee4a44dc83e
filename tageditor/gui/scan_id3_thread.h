#pragma once
// The ID3v2 scan of the tag editor: walks the folder on its own thread with a tag
// object of its own, asks the window thread at each folder whether to enter
// sub-folders ("包含子文件夹" may change during the scan), and hands the rows it finds
// to the track list in batches, at most about twenty times a second. It frees itself.
#include <QPointer>
#include <QThread>
#include <atomic>
#include <chrono>
#include <vector>

#include "tageditor/track_rows.h"

namespace quilvane {

class TV1V2Dialog;

class TScanID3Thread : public QThread {
    Q_OBJECT
public:
    TScanID3Thread(TV1V2Dialog* dialog, std::string folder, const std::atomic<bool>& stop);

protected:
    void run() override { Execute(); }

private:
    void Execute();
    bool includeSubfolders();
    void found(TrackRow row, const std::string& path);
    void postRows(bool force);

    QPointer<TV1V2Dialog> dialog_;
    std::string folder_;
    const std::atomic<bool>& stop_;
    std::vector<TrackRow> pending_;
    int done_ = 0;
    std::string lastPath_;
    std::chrono::steady_clock::time_point lastPost_{};
};

}  // namespace quilvane
