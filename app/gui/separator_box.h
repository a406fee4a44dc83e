#pragma once
// A box that takes the one-character separator: only blanks ask whether a blank is
// meant, a longer text is cut to its first character with a message (the change runs
// the check again and takes it), one character becomes the separator.
#include <string>

class QLineEdit;
class QWidget;

namespace quilvane {

void takeSeparatorFrom(QLineEdit* box, std::string& separator, QWidget* parent);

}  // namespace quilvane
