#include "loader/LoaderDecode.h"

#include "fit/PictureFit.h"

#include <QFile>
#include <algorithm>

namespace tavello {

std::optional<LoadedPicture> DecodeForShow(int fd, const ShowFit& fit) {
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle)) return std::nullopt;
    const std::optional<QSize> own = ReadPictureSize(file);
    if (!own) return std::nullopt;
    const std::optional<PicturePlacement> placement =
        FitPicture(own->width(), own->height(), fit.picSize, fit.screenW, fit.screenH, fit.scale);
    // A picture the show cannot place is not shown: nothing to decode.
    if (!placement) return std::nullopt;
    // The show draws a picture of no size at one pixel.
    const QSize decodeSize(std::max(placement->width, 1), std::max(placement->height, 1));
    return LoadPicture(file, ReducedDecodeSize(*own, decodeSize));
}

QImage WithoutColourTable(const QImage& image) {
    if (image.colorCount() == 0) return image;
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                         : QImage::Format_RGB32);
}

}  // namespace tavello
