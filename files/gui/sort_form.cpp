#include "files/gui/sort_form.h"

namespace quilvane {

TSortForm::TSortForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("SortForm"));
    setWindowTitle(QStringLiteral("SortForm"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
}

}  // namespace quilvane
