#pragma once
// The line transforms of the editing area, as pure functions over its lines (UTF-8).
// "Blank" means nothing is left once every character of code 32 or less is trimmed from
// both ends. Case changes touch the ASCII letters only. `separator` is one character.
#include <string>
#include <string_view>
#include <vector>

namespace quilvane {

using Lines = std::vector<std::string>;

// "大写文件名" / "小写文件名": the name part (before the last '.') changes case, the
// extension stays; a line without '.' changes whole; blank lines stay.
void upperCaseNames(Lines& lines);
void lowerCaseNames(Lines& lines);
// "去除前面数字": the trimmed line from its first character that is not a digit.
void stripLeadingDigits(Lines& lines);
// "截去分隔符前面的字符串": the trimmed line after the first separator.
void cutBeforeSeparator(Lines& lines, std::string_view separator);
// "截去分隔符后面的字符串": the trimmed line before the last separator.
void cutAfterSeparator(Lines& lines, std::string_view separator);
// "添加序号（加分格隔）": blank lines go; the others get a zero-padded number and the
// separator in front.
void numberLines(Lines& lines, std::string_view separator);
// "添加前缀" and "添加后缀": every line, blank ones too.
void addPrefix(Lines& lines, std::string_view prefix);
void addSuffix(Lines& lines, std::string_view separator, std::string_view suffix);
// "去除后缀名": the line before its last '.'.
void removeExtensions(Lines& lines);
// "消除空行"
void removeBlankLines(Lines& lines);
// "消除空格": every space character (code 32) goes.
void removeSpaces(Lines& lines);
// "最优格式化（首字母大写）": first letter and every letter after a space upper case,
// the rest lower case; blank lines become empty.
void titleCase(Lines& lines);
// "替换所有行": every non-blank line becomes `text`.
void replaceAllLines(Lines& lines, std::string_view text);

}  // namespace quilvane
