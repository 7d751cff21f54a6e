#pragma once

#include <QString>
#include <optional>

namespace tavello {

inline constexpr int kBackspaceKey = 8;
inline constexpr int kFontSizeMin = 1;
inline constexpr int kFontSizeMax = 1638;
inline constexpr int kFontSizeMaxLength = 4;

// The font-size box's key filter: only the digits and Backspace get through, and once the box
// holds four characters (whatever is selected) only Backspace. Returns the key, or 0 to discard.
int FilterFontSizeKey(const QString& currentText, int keyAscii);

// The check on leaving the font-size box: the text read as a number and rounded half to even.
// nullopt when that lies outside 1..1638 (the text stays and the user is told); otherwise the
// number's plain decimal text ("0012" gives "12").
std::optional<QString> CheckFontSizeOnLeave(const QString& text);

// The seconds label: a blank reserved for the sign, the number, then "秒" (5 gives " 5秒").
QString SecondsCaption(int value);

}  // namespace tavello
