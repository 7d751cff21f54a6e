#include "toolkit/AutoSizeLabel.h"

#include <QEvent>
#include <algorithm>

namespace tavello {

AutoSizeLabel::AutoSizeLabel(QWidget* parent) : QLabel(parent) {}

void AutoSizeLabel::setAutoSize(bool on) {
    autoSize_ = on;
    fitToText();
}

void AutoSizeLabel::setCaption(const QString& text) {
    setText(text);
    fitToText();
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

void AutoSizeLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange) fitToText();
}

void AutoSizeLabel::fitToText() {
    if (autoSize_) resize(sizeHint());
}

}  // namespace tavello
