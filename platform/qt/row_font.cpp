#include "platform/qt/row_font.h"

#include <QApplication>
#include <QFontDatabase>
#include <QTextLayout>
#include <QtMath>

namespace quilvane {

QFont rowFont() {
    QFont font = QApplication::font();
    const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    for (const QString& preferred : {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Source Han Sans SC"),
                                     QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("WenQuanYi Zen Hei")}) {
        if (chinese.contains(preferred)) {
            font.setFamilies({preferred});
            return font;
        }
    }
    if (!chinese.isEmpty()) font.setFamilies({chinese.front()});
    return font;
}

// The height the editor gives a line of this font, measured the way it lays lines out.
int rowHeight(const QFont& font) {
    QTextLayout layout(QStringLiteral("Ag中文"), font);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    return qCeil(line.height());
}

}  // namespace quilvane
