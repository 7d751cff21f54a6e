#pragma once

#include "toolkit/Picture.h"
#include "toolkit/PictureSource.h"

#include <optional>

namespace tavello {

// Decodes the regular file open at fd (left open) for the show: at the size fit gives it on the
// screen, or its own size when the fit fails. Nothing when it cannot be shown.
std::optional<LoadedPicture> DecodeForShow(int fd, const ShowFit& fit);

// The picture's pixels in a form the show can take as they are: no colour table.
QImage WithoutColourTable(const QImage& image);

}  // namespace tavello
