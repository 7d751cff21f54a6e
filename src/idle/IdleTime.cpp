#include "idle/IdleTime.h"

#include <QRegularExpression>

namespace tavello {

namespace {

using std::chrono::seconds;

constexpr seconds kShortest{1};
constexpr seconds kLongest{24 * 60 * 60};

}  // namespace

std::optional<seconds> ParseIdleTime(const QString& text) {
    // At most five digits a unit: far above a day, far below any overflow. Anchored patterns: a
    // plain "$" would also take a line break at the end.
    static const QRegularExpression minutesOnly(
        QRegularExpression::anchoredPattern(QStringLiteral("[0-9]{1,5}")));
    static const QRegularExpression units(
        QRegularExpression::anchoredPattern(
            QStringLiteral("(?:([0-9]{1,5})h)?(?:([0-9]{1,5})m)?(?:([0-9]{1,5})s)?")),
        QRegularExpression::CaseInsensitiveOption);
    seconds total{0};
    if (minutesOnly.match(text).hasMatch()) {
        total = seconds(text.toLongLong() * 60);
    } else {
        const QRegularExpressionMatch match = units.match(text);
        if (text.isEmpty() || !match.hasMatch()) return std::nullopt;
        const long long scale[] = {60 * 60, 60, 1};
        for (int unit = 0; unit < 3; ++unit)
            total += seconds(match.captured(unit + 1).toLongLong() * scale[unit]);
    }
    if (total < kShortest || total > kLongest) return std::nullopt;
    return total;
}

QString FormatIdleTime(seconds time) {
    const long long all = time.count();
    QString text;
    if (all / 3600 > 0) text += QStringLiteral("%1h").arg(all / 3600);
    if (all % 3600 / 60 > 0) text += QStringLiteral("%1m").arg(all % 3600 / 60);
    if (all % 60 > 0 || text.isEmpty()) text += QStringLiteral("%1s").arg(all % 60);
    return text;
}

}  // namespace tavello
