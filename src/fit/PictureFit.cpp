#include "fit/PictureFit.h"

#include "settings/Numbers.h"

namespace tavello {
namespace {

using Size32 = std::optional<std::int32_t>;

// Scales both sides so the picture touches two opposite edges of the screen. The ratios and the
// scale factor are single precision, the products double, as the sizes have always been computed.
bool FitToScreen(std::int32_t& w, std::int32_t& h, double screenW, double screenH) {
    if (w == 0 || screenW == 0) return false;
    const float pictureRatio = static_cast<float>(static_cast<double>(h) / w);
    const float screenRatio = static_cast<float>(screenH / screenW);
    Size32 newW;
    Size32 newH;
    if (screenRatio <= pictureRatio) {
        if (h == 0) return false;
        const float scale = static_cast<float>(screenH / h);
        newH = RoundHalfEven<std::int32_t>(screenH);
        newW = RoundHalfEven<std::int32_t>(static_cast<double>(scale) * w);
    } else {
        const float scale = static_cast<float>(screenW / w);
        newW = RoundHalfEven<std::int32_t>(screenW);
        newH = RoundHalfEven<std::int32_t>(static_cast<double>(scale) * h);
    }
    if (!newW || !newH) return false;
    w = *newW;
    h = *newH;
    return true;
}

}  // namespace

std::optional<PicturePlacement> FitPicture(double ownWidth, double ownHeight,
                                           const QString& picSize, double screenW, double screenH,
                                           double magnificationScale) {
    Size32 h = RoundHalfEven<std::int32_t>(ownHeight);
    Size32 w = RoundHalfEven<std::int32_t>(ownWidth);
    if (!h || !w) return std::nullopt;

    const double percent = LeadingNumber(picSize) * magnificationScale;
    if (percent != 0) {
        h = RoundHalfEven<std::int32_t>(percent / 100 * *h);
        w = RoundHalfEven<std::int32_t>(percent / 100 * *w);
        if (!h || !w) return std::nullopt;
    }
    if (percent == 0 || *w > screenW || *h > screenH) {
        if (!FitToScreen(*w, *h, screenW, screenH)) return std::nullopt;
    }
    // A control cannot take a negative size (a negative percentage or screen).
    if (*w < 0 || *h < 0) return std::nullopt;

    PicturePlacement placement;
    placement.width = *w;
    placement.height = *h;
    placement.top = screenH / 2 - static_cast<double>(*h) / 2;
    placement.left = screenW / 2 - static_cast<double>(*w) / 2;
    return placement;
}

}  // namespace tavello
