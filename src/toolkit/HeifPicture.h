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

// Whether the HEIF file's first bytes name AVIF as its major or a compatible brand.
bool IsAvifFile(QByteArrayView head);

// The primary picture's size after its transformations, or nothing for a file libheif cannot
// parse. Reads from `file`, which must be open; its read position is left anywhere.
std::optional<QSize> ReadHeifSize(QIODevice& file);

// Loads the primary picture as LoadPicture does, within its limits. With a reduced decode size
// the smallest stored thumbnail that covers it is decoded instead when there is one, and the
// result is scaled to that size. Nothing for a cut-off or damaged file, a coding libheif cannot
// decode, or a picture beyond the limits.
std::optional<LoadedPicture> LoadHeifPicture(QIODevice& file, QSize decodeSize);

// An AVIF through libavif (dav1d), which is allowed no frame larger than the file's header says;
// the rows are converted and scaled a band at a time. As LoadHeifPicture otherwise, without
// thumbnails. Nothing at all (no result to give) for a picture that is cropped, turned or
// mirrored, which libheif decodes instead.
std::optional<std::optional<LoadedPicture>> LoadAvifPicture(QIODevice& file, QSize decodeSize);

// Whether every HEVC parameter set in the file's item properties codes a picture of at most
// `maxPixels`: the decoder allocates what they say, whatever the stored sizes claim. A file whose
// boxes cannot be walked passes (libheif fails it). The read position is left anywhere.
bool HevcStreamsBounded(QIODevice& file, qint64 maxPixels);

}  // namespace tavello
