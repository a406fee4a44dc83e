#pragma once
// The tag editor "ID3信息修改": one file's two tags, or the batch settings of a folder.
#include <QDialog>

namespace quilvane {

class TV1V2Dialog : public QDialog {
    Q_OBJECT
public:
    explicit TV1V2Dialog(QWidget* parent = nullptr);
};

}  // namespace quilvane
