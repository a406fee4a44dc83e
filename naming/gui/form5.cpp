#include "naming/gui/form5.h"

#include "platform/qt/qtext.h"
#include "platform/text.h"

namespace quilvane {

TForm5::TForm5(QWidget* parent) : QDialog(parent) {
    ui.setupUi(this);
    setObjectName(QStringLiteral("Form5"));
    ui.ComboBox1->setEditText(QStringLiteral("Ar_T"));
    connect(ui.BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui.BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

std::string TForm5::templateText() const {
    return std::string(trimBlanks(fromQ(ui.ComboBox1->currentText())));
}

}  // namespace quilvane
