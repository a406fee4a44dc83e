#pragma once
// The tag editor "ID3信息修改": one file's two tags (single-file mode), or the values a
// batch writes into every MP3 file of a folder (folder mode). Shown without blocking,
// always on top; it keeps its fields between showings.
#include <QDialog>
#include <QPointer>
#include <atomic>
#include <string>

#include "tageditor/batch_tags.h"
#include "tageditor/track_rows.h"
#include "tags/id3v1.h"
#include "tags/id3v2.h"
#include "ui_TV1V2Dialog.h"

namespace quilvane {

class TchangeV1V2;
class TForm4;
class TScanID3Thread;

class TV1V2Dialog : public QDialog {
    Q_OBJECT
public:
    explicit TV1V2Dialog(QWidget* parent = nullptr);
    ~TV1V2Dialog() override;

    Ui::TV1V2Dialog ui;

    // The two ways the main window opens it.
    void openForFile(const std::string& path);
    void openForFolder(const std::string& folder);
    const std::string& targetPath() const { return TargetPath; }
    bool singleFile() const { return SingleFile; }
    bool batchRunning() const { return !worker_.isNull(); }
    bool scanRunning() const { return !scan_.isNull(); }
    // The track list the scan fills.
    void setTrackList(TForm4* list) { trackList_ = list; }

    // The fields as the batch writes them (read on the window thread).
    TagFieldValues fieldValues() const;
    // Counts the edits of the fields, so a batch reads them again only after one.
    unsigned fieldsGeneration() const { return fieldsGeneration_; }
    // Called on the window thread for the worker.
    void showBatchProgress(const QString& text);
    void finishBatch(const BatchResult& result);
    void showScanRows(std::vector<TrackRow> rows, const QString& progress);
    void finishScan(int done, const QString& failure);

public slots:
    void CheckEnable();
    void Clearcontent();
    void UpdateSingleID3();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void BitBtn5Click();
    void BitBtn6Click();
    void BitBtn7Click();
    void BitBtn8Click();

signals:
    // The user chose another folder with "。。。" (the folder's own bytes).
    void folderChosen(const QByteArray& folder);
    // A batch started or ended: the main window's single-file command follows it.
    void batchRunningChanged(bool running);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void setGenre(QComboBox* box, int genre);
    void showStatus(const QString& text);
    // Each returns what the status panel is to say of its tag (empty: nothing).
    QString applyV2();
    QString applyV1();

    std::string TargetPath;
    bool SingleFile = false;
    // The dialog's own tag objects; a batch has objects of its own.
    TID3V1 TagV1;
    TID3V2 TagV2;
    std::atomic<bool> StopBatch{false};
    std::atomic<bool> StopScan{false};
    QPointer<TchangeV1V2> worker_;
    QPointer<TScanID3Thread> scan_;
    TForm4* trackList_ = nullptr;
    std::atomic<unsigned> fieldsGeneration_{0};
    // Single-file mode: the file's tags were read (else "更改" has nothing to write),
    // and the genre lists' selections as read, so an untouched genre keeps its text.
    bool singleLoaded_ = false;
    int loadedGenreV1_ = -1;
    int loadedGenreV2_ = -1;
};

}  // namespace quilvane
