#include "toolkit/VisibleText.h"

#include <QFontMetricsF>

#include <algorithm>

namespace tavello {
namespace {

// Lines up to this long are laid out whole: measuring one takes well under a millisecond.
constexpr qsizetype kWholeLine = 2048;
// However narrow its characters, no line keeps more than this many of them...
constexpr qsizetype kLongestStretch = 64 * 1024;
// ...and the whole result no more than this many.
constexpr qsizetype kMostCharacters = 256 * 1024;

bool IsLineBreak(QChar c) {
    return c == u'\n' || c == QChar::LineSeparator;
}

qsizetype EndOfLine(const QString& text, qsizetype from) {
    while (from < text.size() && !IsLineBreak(text[from])) ++from;
    return from;
}

// `length` characters of `line` around the part that shows under `alignment`, without cutting a
// character that takes two code units in half.
QStringView Stretch(QStringView line, qsizetype length, Qt::Alignment alignment) {
    qsizetype start = 0;
    if (alignment & Qt::AlignRight) {
        start = line.size() - length;
    } else if (alignment & Qt::AlignHCenter) {
        start = (line.size() - length) / 2;
    }
    qsizetype end = start + length;
    if (start > 0 && line[start].isLowSurrogate()) ++start;
    if (end < line.size() && line[end].isLowSurrogate()) --end;
    return line.sliced(start, end - start);
}

// The stretch of one line that still overflows `width` on every side that can show; the line
// itself when it is short or fits.
QStringView FitLine(QStringView line, const QFontMetricsF& metrics, qreal width,
                    Qt::Alignment alignment, qsizetype mostCharacters) {
    if (line.size() <= kWholeLine) return line;
    const qsizetype most = std::min(kLongestStretch, std::max(kWholeLine, mostCharacters));
    for (qsizetype length = kWholeLine;; length = std::min(line.size(), length * 2)) {
        if (length >= line.size()) return line;
        const QStringView stretch = Stretch(line, length, alignment);
        if (length >= most || metrics.horizontalAdvance(stretch.toString()) > width) return stretch;
    }
}

}  // namespace

QString VisibleText(const QString& text, const QFont& font, QSize area, Qt::Alignment alignment) {
    const QFontMetricsF metrics(font);
    const qreal lineHeight = std::max<qreal>(1, metrics.lineSpacing());
    QString shown;
    qsizetype lines = 0;
    for (qsizetype from = 0; from <= text.size(); ++lines) {
        // Lines below the area show nothing: the one that reaches past its bottom is the last.
        if (lines * lineHeight > area.height() || shown.size() >= kMostCharacters) break;
        const qsizetype end = EndOfLine(text, from);
        if (lines > 0) shown += text[from - 1];
        shown += FitLine(QStringView(text).sliced(from, end - from), metrics, area.width(),
                         alignment, kMostCharacters - shown.size());
        from = end + 1;
    }
    return shown;
}

}  // namespace tavello
