// Form1 inside a screen-saver host's window: following its size.

#include "saver/Form1.h"
#include "toolkit/Toolkit.h"

#include <cmath>

namespace tavello {

void Form1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The host's window is the screen: the next picture is fitted to its new size.
    if (Hosted()) deps_.screenTwips = size() * kTwipsPerPixel;
}

}  // namespace tavello
