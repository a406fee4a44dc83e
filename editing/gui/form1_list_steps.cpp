// The editing area's part of a list click: the clicked entry's name into its line, and
// the caret to the start of that line.
#include <QTextBlock>
#include <QTextCursor>

#include "app/gui/form1.h"

namespace quilvane {

void TForm1::copyClickedName(int index, const QString& name) {
    QStringList lines = memoLines();
    while (lines.size() < index) lines << QString();
    if (lines.size() > index) lines[index] = name;
    else lines << name;
    setMemoLines(lines);
}

void TForm1::positionEditorAt(int index) {
    const QStringList lines = memoLines();
    int offset = 0;
    for (int i = 0; i < index; ++i) offset += static_cast<int>(i < lines.size() ? lines[i].size() : 0) + 1;
    const int length = index < lines.size() ? static_cast<int>(lines[index].size()) : 0;
    const bool folderMode = ui.RadioGroup3->isItemChecked(1);
    // Without its dot and a three-letter extension in file mode; never less than nothing.
    const int selected = std::max(0, folderMode ? length : length - 4);
    QTextCursor cursor(ui.Memo1->document());
    cursor.setPosition(std::min(offset, ui.Memo1->document()->characterCount() - 1));
    cursor.setPosition(std::min(offset + selected, ui.Memo1->document()->characterCount() - 1),
                       QTextCursor::KeepAnchor);
    ui.Memo1->setTextCursor(cursor);
    ui.Memo1->setFocus();
}

}  // namespace quilvane
