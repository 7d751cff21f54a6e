#pragma once

// Checks that a picture file is whole. Qt's readers fill a cut-off JPEG, BMP or GIF with grey or
// black and report success; a picture that was only partly written or copied is a failed picture
// for us. (TIFF is left to libtiff and HEIF to libheif, which both report a cut-off file.)

#include <QByteArrayView>

class QIODevice;

namespace tavello {

// A BMP whose uncompressed pixel rows all lie within a file of `fileSize` bytes that starts with
// `head` (at least its two headers); coded BMPs pass (PictureFileComplete walks their runs).
bool BmpIsComplete(QByteArrayView head, qint64 fileSize);

// Applies the check for the file's format, recognised by its signature; other formats pass.
// A JPEG passes when an end marker follows the header of its first scan, searched from the end of
// the file backwards (a scan's coded data can never hold one), so only its headers and usually its
// last bytes are read. A BMP passes when BmpIsComplete does and, when run-length coded, its runs
// reach its end marker (or the end of its last row) without running past the end of a row or
// below the last row. A PNG passes when it ends with its end chunk, a WebP when it holds all the
// bytes its RIFF header counts, a GIF when its first frame's data is all there. The read
// position is left anywhere.
bool PictureFileComplete(QIODevice& file);

}  // namespace tavello
