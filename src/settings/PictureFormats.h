#pragma once

#include <QString>
#include <QStringList>

namespace tavello {

// The extensions of every picture format the show and the dialog read, lower case, without the
// dot: JPEG and BMP, then the formats of Qt's image plugins and of libheif.
const QStringList& PictureExtensions();

// Whether a file name ends in one of those extensions, in any case.
bool IsPictureFileName(const QString& name);

}  // namespace tavello
