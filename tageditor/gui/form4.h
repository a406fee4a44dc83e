#pragma once
// The track information list "曲目信息": the tags of many files in one table.
#include <QWidget>

namespace quilvane {

class TForm4 : public QWidget {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);
};

}  // namespace quilvane
