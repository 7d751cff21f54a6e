#pragma once

#include <QRect>
#include <optional>

namespace tavello {

// Where the preview image goes inside the preview frame, in the frame's units, computed in single
// precision as the preview always has.
struct PreviewGeometry {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
    // The same rectangle in whole units, each edge rounded to the nearest.
    QRect rect() const;
};

// Fits a picture of pictureWidth × pictureHeight into the frame keeping its proportions: a
// picture no taller than 3:4 (height / width ≤ 0.75) fills the frame's width and is centred
// vertically; a taller one fills its height and is centred horizontally. nullopt when either
// picture size is zero or negative (nothing to show).
std::optional<PreviewGeometry> FitPreview(const QRectF& frame, int pictureWidth, int pictureHeight);

}  // namespace tavello
