#include "tageditor/gui/form4.h"

namespace quilvane {

TForm4::TForm4(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("曲目信息"));
    resize(696, 480);
}

}  // namespace quilvane
