#pragma once

// The few kinds of PNG and TIFF that Qt's readers draw wrongly, decoded through libpng and
// libtiff themselves: a 16-bit RGB PNG with a transparent colour (Qt's reader gives stripes) and
// an 8-bit grey TIFF with an alpha sample (Qt's reader drops the alpha, so a premultiplied picture
// shows dark on any background but black). Every other PNG and TIFF stays with Qt's readers.

#include <QImage>
#include <QSize>

class QIODevice;

namespace tavello {

// Whether the PNG is one that libpng must decode, from its header chunk and the chunks before
// its pixels. The read position is left anywhere.
bool PngNeedsLibpng(QIODevice& file);

// Whether the TIFF is one that libtiff must decode, from its first directory. The read position is
// left anywhere.
bool TiffNeedsLibtiff(QIODevice& file);

// Decode the whole picture as it is stored (a TIFF's orientation tag is not applied) into
// premultiplied ARGB32, transparency kept. A null image for a damaged or cut-off file, or one that
// is not `size` pixels as stored, which the caller has checked against the limits.
QImage DecodeWithLibpng(QIODevice& file, QSize size);
QImage DecodeWithLibtiff(QIODevice& file, QSize size);

}  // namespace tavello
