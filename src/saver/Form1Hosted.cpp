// Form1 inside a screen-saver host's window: showing it there and following its size.

#include "saver/Form1.h"
#include "toolkit/Toolkit.h"

#include <cmath>

namespace tavello {

void Form1::ShowInHost() {
    // Whoever made the window placed it; the show fills it. Nothing is raised or grabbed.
    // The host keeps the pointer and hides it; an arrow of ours would stand over the pictures.
    setCursor(Qt::BlankCursor);
    resize(static_cast<int>(std::lround(ScreenW())), static_cast<int>(std::lround(ScreenH())));
    show();
}

void Form1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The host's window is the screen: the next picture is fitted to its new size.
    if (Hosted()) deps_.screenTwips = size() * kTwipsPerPixel;
}

}  // namespace tavello
