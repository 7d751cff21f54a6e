#pragma once

#include <QImage>
#include <cstdint>

namespace tavello {

// The dialog's scrolling banner: at each tick the stored picture is drawn one row further up
// into a drawing surface that keeps what is drawn, the rows that left the top coming back at the
// bottom. The surface is what the visible banner shows.
class BannerScroller {
  public:
    // picture: the stored banner bitmap, never changed; the surface starts as a copy of it.
    explicit BannerScroller(const QImage& picture);

    // One tick: moves the offset on by one row, wrapping at scaleHeight (the height of the band
    // that wraps, read anew at every tick), and redraws the surface by two plain copies.
    const QImage& tick(int scaleHeight);
    const QImage& tick() { return tick(picture_.height()); }

    std::int16_t offset() const { return offset_; }
    const QImage& surface() const { return surfaces_[current_]; }
    const QImage& picture() const { return picture_; }

  private:
    // Copies rows [sourceTop, sourceTop + rows) of the picture to the surface from row
    // targetTop, at the picture's full width, leaving out rows that either image lacks.
    void copyRows(int sourceTop, int rows, int targetTop);

    QImage picture_;
    // Two surfaces drawn in turn: the one handed out at the last tick may still be shown (and so
    // shared) while the other is drawn, so no tick has to copy or allocate.
    QImage surfaces_[2];
    int current_ = 0;
    int lastHeight_ = -1;
    std::int16_t offset_ = 0;
};

}  // namespace tavello
