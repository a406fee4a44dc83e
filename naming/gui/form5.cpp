#include "naming/gui/form5.h"

namespace quilvane {

TForm5::TForm5(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("命名格式选择"));
}

}  // namespace quilvane
