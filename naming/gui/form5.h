#pragma once
// The naming-template chooser "命名格式选择": a template typed or picked from the list,
// and the legend of its symbols. It keeps its text between uses.
#include <QDialog>

#include "ui_TForm5.h"

namespace quilvane {

class TForm5 : public QDialog {
    Q_OBJECT
public:
    explicit TForm5(QWidget* parent = nullptr);

    Ui::TForm5 ui;
    // The template as chosen, trimmed of blanks and control characters at both ends.
    std::string templateText() const;
};

}  // namespace quilvane
