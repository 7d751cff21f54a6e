// Form1 inside a screen-saver host's window: showing it there, following its size, and passing
// over pictures that cannot be shown.

#include "saver/Form1.h"
#include "saver/PictureOrder.h"
#include "toolkit/AutoSizeLabel.h"
#include "toolkit/ImageControl.h"
#include "toolkit/Toolkit.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>

namespace tavello {

void Form1::ShowInHost() {
    // Whoever made the window placed it; the show fills it. Nothing is raised or grabbed.
    // The host keeps the pointer and hides it; an arrow of ours would stand over the pictures.
    setCursor(Qt::BlankCursor);
    resize(static_cast<int>(std::lround(ScreenW())), static_cast<int>(std::lround(ScreenH())));
    show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void Form1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The host's window is the screen: the next picture is fitted to its new size.
    if (Hosted()) deps_.screenTwips = size() * kTwipsPerPixel;
}

void Form1::SkipFailedPicture() {
    // A host takes a hack that ends by itself for a crashed one, so the show goes on with the
    // next picture that can be shown, trying each at most once. When none can, the window stays
    // black, and the next change tries again.
    const std::optional<OrderMode> mode = ReadOrderMode(settings_.RandomOrder);
    if (!mode || *mode == OrderMode::Fixed) return;  // nothing else would ever be tried
    const int tries = std::max<int>(pictureCount_, 1);
    for (int i = 0; i < tries; ++i) {
        // In random order the next change draws anew; in list order it moves past the failure,
        // back to the start from beyond the list.
        if (*mode == OrderMode::ListOrder)
            PicIndex_ = PicIndex_ + 1 < pictureCount_ ? static_cast<std::int16_t>(PicIndex_ + 1)
                                                      : std::int16_t{0};
        if (ChangePicture()) return;
    }
}

}  // namespace tavello
