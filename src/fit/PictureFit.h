#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace tavello {

// Where and how large a picture goes on the screen.
struct PicturePlacement {
    std::int32_t width = 0;
    std::int32_t height = 0;
    double left = 0;  // unrounded: an odd size leaves half a pixel
    double top = 0;
};

// Sizes a picture of ownWidth × ownHeight by the picture-size text (a percentage, or a text
// without a number for "fit to the screen"), shrinks it to the screen when it does not fit and
// centres it. Fails (nullopt) when a size leaves the 32-bit range, a division by zero occurs, or
// a size comes out negative. magnificationScale multiplies the percentage (a screen shown scaled
// down, as in a settings preview).
std::optional<PicturePlacement> FitPicture(double ownWidth, double ownHeight,
                                           const QString& picSize, double screenW, double screenH,
                                           double magnificationScale = 1);

}  // namespace tavello
