#include "dialog/BannerScroller.h"

#include <algorithm>
#include <cstring>

namespace tavello {

namespace {

// One 32-bit format for both images, so that a copy is a plain move of row bytes.
QImage InSurfaceFormat(const QImage& picture) {
    return picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                             : QImage::Format_RGB32);
}

}  // namespace

BannerScroller::BannerScroller(const QImage& picture)
    : picture_(InSurfaceFormat(picture)), surfaces_{picture_.copy(), picture_.copy()} {}

const QImage& BannerScroller::tick(int scaleHeight) {
    if (scaleHeight <= 0 || picture_.isNull()) {
        // Nothing can wrap inside an empty band; keep the offset in its range.
        offset_ = 0;
        return surfaces_[current_];
    }
    // The offset is 16-bit, so the band is too.
    scaleHeight = std::min(scaleHeight, 0x7FFF);
    // Modulo rather than one subtraction, so a band that shrank between ticks still wraps
    // into range.
    offset_ = static_cast<std::int16_t>((offset_ + 1) % scaleHeight);
    // Both surfaces start as the picture and every tick redraws the whole band, so the one
    // drawn now ends up exactly as a single persistent surface would.
    const int previous = current_;
    current_ = 1 - current_;
    // Rows below a band that changed height must read as the last tick left them.
    if (scaleHeight != lastHeight_ && lastHeight_ >= 0)
        surfaces_[current_] = surfaces_[previous].copy();
    lastHeight_ = scaleHeight;
    copyRows(offset_, scaleHeight - offset_, 0);
    if (offset_ != 0) copyRows(0, offset_, scaleHeight - offset_);
    return surfaces_[current_];
}

void BannerScroller::copyRows(int sourceTop, int rows, int targetTop) {
    const int first = std::max({0, -sourceTop, -targetTop});
    QImage& surface = surfaces_[current_];
    const int last = std::min({rows, picture_.height() - sourceTop, surface.height() - targetTop});
    if (first >= last) return;
    const std::size_t bytes =
        static_cast<std::size_t>(std::min(picture_.width(), surface.width())) * 4;
    uchar* target = surface.bits();  // detaches only if someone still holds this surface
    const qsizetype stride = surface.bytesPerLine();
    for (int row = first; row < last; ++row)
        std::memcpy(target + (targetTop + row) * stride, picture_.constScanLine(sourceTop + row),
                    bytes);
}

}  // namespace tavello
