#include "tageditor/gui/v1v2_dialog.h"

namespace quilvane {

TV1V2Dialog::TV1V2Dialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("V1V2Dialog"));
    setWindowTitle(QStringLiteral("ID3信息修改"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
}

}  // namespace quilvane
