#include "toolkit/AutoSizeLabel.h"

#include "toolkit/VisibleText.h"

#include <QEvent>
#include <QScreen>
#include <algorithm>

namespace tavello {

AutoSizeLabel::AutoSizeLabel(QWidget* parent) : QLabel(parent) {
    // Captions come from the user (a headline) or name files: markup in them is text.
    setTextFormat(Qt::PlainText);
}

void AutoSizeLabel::setAutoSize(bool on) {
    autoSize_ = on;
    fitToText();
}

void AutoSizeLabel::setCaption(const QString& text) {
    caption_ = text;
    fitToText();
}

QString AutoSizeLabel::caption() const {
    return text() == shown_ ? caption_ : text();
}

void AutoSizeLabel::setFontName(const QString& family) {
    QFont f = font();
    f.setFamily(family);
    setFont(f);
}

void AutoSizeLabel::setFontSize(double points) {
    // Sizes the font engine cannot take (0, negative, absurdly large) keep the nearest it can.
    constexpr double kLargestPoints = 4096;
    QFont f = font();
    if (points > 0) f.setPointSizeF(std::min(points, kLargestPoints));
    setFont(f);
}

void AutoSizeLabel::setVisibleArea(QSize area) {
    visibleArea_ = area;
    fitToText();
}

QSize AutoSizeLabel::visibleArea() const {
    if (!visibleArea_.isEmpty()) return visibleArea_;
    const QScreen* shownOn = screen();
    return shownOn ? shownOn->geometry().size() : QSize(4096, 4096);
}

void AutoSizeLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange) fitToText();
}

void AutoSizeLabel::fitToText() {
    // What shows depends on the font, so the shown part is worked out anew with every change.
    shown_ = VisibleText(caption_, font(), visibleArea(), alignment());
    setText(shown_);
    if (autoSize_) resize(sizeHint());
}

}  // namespace tavello
