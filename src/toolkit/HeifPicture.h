#pragma once

// HEIC/HEIF and AVIF pictures through libheif, which Qt's readers do not know. The picture comes
// out turned and mirrored as the file's transformations say, as a phone shows it.

#include "toolkit/Picture.h"

#include <QByteArrayView>
#include <QSize>

#include <optional>

class QIODevice;

namespace tavello {

// Whether the first bytes of a file (at least 12) name a HEIF brand: HEIC, HEIF or AVIF, or the
// generic image brand "mif1".
bool IsHeifFile(QByteArrayView head);

// The primary picture's size after its transformations, or nothing for a file libheif cannot
// parse. Reads from `file`, which must be open; its read position is left anywhere.
std::optional<QSize> ReadHeifSize(QIODevice& file);

// Loads the primary picture as LoadPicture does, within its limits. With a reduced decode size
// the smallest stored thumbnail that covers it is decoded instead when there is one, and the
// result is scaled to that size. Nothing for a cut-off or damaged file, a coding libheif cannot
// decode, or a picture beyond the limits.
std::optional<LoadedPicture> LoadHeifPicture(QIODevice& file, QSize decodeSize);

}  // namespace tavello
