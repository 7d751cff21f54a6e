#include "dialog/FontSizeRules.h"

#include "settings/Numbers.h"

namespace tavello {

int FilterFontSizeKey(const QString& currentText, int keyAscii) {
    if (keyAscii == kBackspaceKey) return keyAscii;
    // At least, not exactly, four: a longer text pasted past the filter must not grow further.
    if (currentText.size() >= kFontSizeMaxLength) return 0;
    if (keyAscii < '0' || keyAscii > '9') return 0;
    return keyAscii;
}

std::optional<QString> CheckFontSizeOnLeave(const QString& text) {
    // A number beyond the 32-bit range is out of range too, not an error.
    const std::optional<std::int32_t> n = RoundHalfEven<std::int32_t>(LeadingNumber(text));
    if (!n || *n < kFontSizeMin || *n > kFontSizeMax) return std::nullopt;
    return QString::number(*n);
}

QString SecondsCaption(int value) {
    const QString number = QString::number(value);
    return (value < 0 ? number : u' ' + number) + QStringLiteral("秒");
}

}  // namespace tavello
