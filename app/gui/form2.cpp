#include "app/gui/form2.h"

#include <QApplication>
#include <QEvent>

#include "platform/qt/shell.h"

namespace quilvane {

const QString TForm2::kAddress = QStringLiteral("orvek@quilvane.org");

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
    ui.setupUi(this);
    setObjectName(QStringLiteral("Form2"));
    ui.Label8->setText(kAddress);
    ui.Label8->installEventFilter(this);
    connect(ui.Button1, &QPushButton::clicked, this, &QDialog::accept);
    Label8MouseLeave();
    // A fixed box: 305 x 155 unless the desktop's font needs more room.
    setFixedSize(size().expandedTo(sizeHint()));
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui.Label8) {
        if (event->type() == QEvent::Enter) Label8MouseEnter();
        else if (event->type() == QEvent::Leave) Label8MouseLeave();
        else if (event->type() == QEvent::MouseButtonRelease) Label8Click();
    }
    return QDialog::eventFilter(watched, event);
}

void TForm2::Label8MouseEnter() {
    QPalette palette = ui.Label8->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    ui.Label8->setPalette(palette);
    QFont font = ui.Label8->font();
    font.setUnderline(true);
    ui.Label8->setFont(font);
}

void TForm2::Label8MouseLeave() {
    QPalette palette = ui.Label8->palette();
    palette.setColor(QPalette::WindowText, QApplication::palette().color(QPalette::WindowText));
    ui.Label8->setPalette(palette);
    QFont font = ui.Label8->font();
    font.setUnderline(false);
    ui.Label8->setFont(font);
}

void TForm2::Label8Click() { shell().openMailLink(this, kAddress); }

}  // namespace quilvane
