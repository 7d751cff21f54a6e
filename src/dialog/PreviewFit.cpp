#include "dialog/PreviewFit.h"

#include <cmath>

namespace tavello {

QRect PreviewGeometry::rect() const {
    const int x = static_cast<int>(std::lround(left));
    const int y = static_cast<int>(std::lround(top));
    const int right = static_cast<int>(std::lround(left + width));
    const int bottom = static_cast<int>(std::lround(top + height));
    return QRect(x, y, right - x, bottom - y);
}

std::optional<PreviewGeometry> FitPreview(const QRectF& frame, int pictureWidth,
                                          int pictureHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0) return std::nullopt;
    const float frameLeft = static_cast<float>(frame.left());
    const float frameTop = static_cast<float>(frame.top());
    const float frameWidth = static_cast<float>(frame.width());
    const float frameHeight = static_cast<float>(frame.height());
    const float threshold = 3.0f / 4.0f;
    const float ratio = static_cast<float>(pictureHeight) / static_cast<float>(pictureWidth);

    PreviewGeometry g{frameLeft, frameTop, 0, 0};
    if (ratio <= threshold) {
        g.width = frameWidth;
        g.height = frameWidth * ratio;
        g.top = (frameHeight - g.height) / 2.0f + g.top;
    } else {
        g.height = frameHeight;
        g.width = frameHeight / ratio;
        g.left = (frameWidth - g.width) / 2.0f + g.left;
    }
    return g;
}

}  // namespace tavello
