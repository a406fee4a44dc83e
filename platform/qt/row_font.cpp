#include "platform/qt/row_font.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>

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

int rowHeight(const QFont& font) { return QFontMetrics(font).lineSpacing(); }

}  // namespace quilvane
