// The line transforms of the editing area; all but "替换所有行" take the backup first.
#include "app/gui/form1.h"
#include "editing/line_transforms.h"
#include "platform/qt/prompts.h"
#include "platform/qt/qtext.h"

namespace quilvane {

void TForm1::transformLines(const std::function<void(std::vector<std::string>&)>& transform, bool backup) {
    const QStringList before = memoLines();
    if (backup) takeEditBackup(before);
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(before.size()));
    for (const QString& line : before) lines.push_back(fromQ(line));
    transform(lines);
    setEditLines(lines);
}

void TForm1::N11Click() { transformLines(upperCaseNames); }
void TForm1::N12Click() { transformLines(lowerCaseNames); }
void TForm1::N22Click() { transformLines(stripLeadingDigits); }
void TForm1::N13Click() { transformLines(removeExtensions); }
void TForm1::N15Click() { transformLines(removeBlankLines); }
void TForm1::N16Click() { transformLines(removeSpaces); }
void TForm1::N17Click() { transformLines(titleCase); }

void TForm1::N20Click() {
    transformLines([this](std::vector<std::string>& lines) { cutBeforeSeparator(lines, SepChar); });
}

void TForm1::N38Click() {
    transformLines([this](std::vector<std::string>& lines) { cutAfterSeparator(lines, SepChar); });
}

void TForm1::N19Click() {
    showStatus(QStringLiteral("稍候，操作进行中..."));
    transformLines([this](std::vector<std::string>& lines) { numberLines(lines, SepChar); });
    showStatus(QStringLiteral("操作完成"));
}

void TForm1::N48Click() {
    const std::string prefix = fromQ(prompts().input(this, QStringLiteral("添加前缀"), QStringLiteral("输入前缀名"), {}));
    transformLines([&prefix](std::vector<std::string>& lines) { addPrefix(lines, prefix); });
}

void TForm1::N49Click() {
    const std::string suffix = fromQ(prompts().input(this, QStringLiteral("添加后缀"), QStringLiteral("输入后缀名"), {}));
    transformLines([this, &suffix](std::vector<std::string>& lines) { addSuffix(lines, SepChar, suffix); });
}

void TForm1::N36Click() {
    const std::string text =
        fromQ(prompts().input(this, QStringLiteral("替换对话框"), QStringLiteral("输入替换字符窜"), {}));
    transformLines([&text](std::vector<std::string>& lines) { replaceAllLines(lines, text); }, false);
}

}  // namespace quilvane
