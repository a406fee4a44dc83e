#pragma once
// The About box "关于": author, version, date, and the author's e-mail address as a link
// that opens the user's mail program.
#include <QDialog>

#include "ui_TForm2.h"

namespace quilvane {

class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);

    Ui::TForm2 ui;
    static const QString kAddress;

    void Label8MouseEnter();
    void Label8MouseLeave();
    void Label8Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace quilvane
