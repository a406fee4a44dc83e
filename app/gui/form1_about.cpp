// The About box, the help and the picture in the bottom panel that opens the About box.
#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>

#include "app/gui/form1.h"
#include "app/gui/form2.h"
#include "platform/qt/prompts.h"
#include "platform/qt/shell.h"

namespace quilvane {

// The program's own picture: a note on a round blue ground.
QPixmap TForm1::notePicture(int size) {
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2d, 0x6c, 0xc0));
    p.drawEllipse(QRectF(0, 0, size, size));
    p.setBrush(Qt::white);
    const double u = size / 16.0;
    p.drawEllipse(QRectF(4 * u, 9.5 * u, 4 * u, 3 * u));
    p.drawRect(QRectF(7.2 * u, 3.5 * u, 0.9 * u, 7.5 * u));
    QPainterPath flag;
    flag.moveTo(8 * u, 3.5 * u);
    flag.cubicTo(10 * u, 4.5 * u, 11.5 * u, 5.5 * u, 11 * u, 8 * u);
    flag.cubicTo(10.5 * u, 6.5 * u, 9.5 * u, 6 * u, 8 * u, 6 * u);
    p.drawPath(flag);
    return picture;
}

void TForm1::setUpAboutPicture() {
    ui.Image1->setPixmap(notePicture(28));
    ui.Image1->installEventFilter(this);
}

// A new About box each time, owned by the main window.
void TForm1::N3Click() {
    auto* box = new TForm2(this);
    box->exec();
}

// Next to the program in the build tree; once installed, in the data folder beside the
// program's bin/ (wherever the package put it), then in the folder chosen at build time.
std::string TForm1::helpFile() {
    const QString here = QCoreApplication::applicationDirPath();
    const QStringList places{here + QStringLiteral("/help.html"), here + QStringLiteral("/../share/quilvane/help.html"),
                             QStringLiteral(QUILVANE_DATA_DIR "/help.html")};
    for (const QString& place : places)
        if (QFileInfo::exists(place)) return QFile::encodeName(place).toStdString();
    return {};
}

void TForm1::N47Click() {
    const std::string help = helpFile();
    if (help.empty()) {
        prompts().error(this, QStringLiteral("找不到帮助文件 help.html"));
        return;
    }
    shell().openHelp(this, help);
}

}  // namespace quilvane
