#pragma once
// The font of the file list and the editing area. Both show one name per row, and line
// k of the area must stand beside entry k of the list, so both take one font that holds
// Chinese and Latin letters alike: a line of Chinese drawn from a fallback font would be
// taller than a line of Latin letters.
#include <QFont>

namespace quilvane {

QFont rowFont();
// The distance between two rows in that font.
int rowHeight(const QFont& font);

}  // namespace quilvane
