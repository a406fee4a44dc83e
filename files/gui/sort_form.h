#pragma once
// The file sorting dialog, modeless, on top of the main window.
#include <QDialog>

namespace quilvane {

class TSortForm : public QDialog {
    Q_OBJECT
public:
    explicit TSortForm(QWidget* parent = nullptr);
};

}  // namespace quilvane
