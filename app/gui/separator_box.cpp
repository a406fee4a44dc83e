#include "app/gui/separator_box.h"

#include <QLineEdit>

#include "rename/setting_checks.h"
#include "platform/qt/prompts.h"
#include "platform/qt/qtext.h"

namespace quilvane {

void takeSeparatorFrom(QLineEdit* box, std::string& separator, QWidget* parent) {
    const SeparatorCheck check = checkSeparatorText(fromQ(box->text()));
    switch (check.verdict) {
    case SeparatorVerdict::AskBlank:
        if (prompts().question(parent, QStringLiteral("是否以空格作为分隔符？"))) separator = " ";
        break;
    case SeparatorVerdict::TooLong:
        prompts().notice(parent, QStringLiteral("分隔符只能是一个ANSI字符"));
        box->setText(toQ(check.character));
        break;
    case SeparatorVerdict::Accept: separator = check.character; break;
    case SeparatorVerdict::Nothing: break;
    }
}

}  // namespace quilvane
