#pragma once
// The naming-template chooser "命名格式选择".
#include <QDialog>

namespace quilvane {

class TForm5 : public QDialog {
    Q_OBJECT
public:
    explicit TForm5(QWidget* parent = nullptr);
};

}  // namespace quilvane
