#pragma once

// What a self-sizing label can show of a text. Laying out a text costs time in proportion to its
// length (a megabyte takes many seconds), yet a label on a screen shows at most a screen's worth,
// so only that part needs laying out.

#include <QFont>
#include <QSize>
#include <QString>

namespace tavello {

// The part of `text` that shows when a label sized to its text is cut to `area`: the text's lines
// are top-aligned, each placed by `alignment` (left, centred or right). Lines wholly below the area
// are left out, and a line much wider than the area keeps only a stretch around the part that
// shows (its start, middle or end) that is still wider than the area, so a label sized to the
// result is too large for the area exactly when one sized to the whole text would be. A text that
// fits comes back as it is.
QString VisibleText(const QString& text, const QFont& font, QSize area, Qt::Alignment alignment);

}  // namespace tavello
