#pragma once

// The few kinds of PNG and TIFF that Qt's readers draw wrongly, decoded through libpng and
// libtiff themselves: a 16-bit RGB PNG with a transparent colour (Qt's reader gives stripes) and
// an 8-bit grey TIFF with an alpha sample (Qt's reader drops the alpha, so a premultiplied picture
// shows dark on any background but black). Every other PNG and TIFF stays with Qt's readers.
// A still WebP is decoded through libwebp at the size shown, which Qt's reader cannot: it decodes
// the whole picture and scales it afterwards. An animated WebP stays with Qt's reader.
// A PNG shown smaller than itself is scaled while libpng hands its rows over, so no full-size copy
// is ever held; an interlaced one, whose rows come only at the last pass, stays with Qt's reader.
// So is a TIFF of plain 8-bit RGB rows in strips; other kinds stay with Qt's reader.

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

// Whether the file is a WebP of a single picture, from its RIFF header and first chunk. The read
// position is left anywhere.
bool IsStillWebp(QIODevice& file);

// Whether the PNG stores its rows in order (not interlaced), from its header chunk. The read
// position is left anywhere.
bool PngDecodesInRows(QIODevice& file);

// Whether the TIFF's first picture is 8-bit RGB, three samples a pixel side by side, in strips
// with no compression or a lossless one, from its first directory. The read position is left
// anywhere.
bool TiffDecodesInRows(QIODevice& file);

// Decode the whole picture as it is stored (a TIFF's orientation tag is not applied) into
// premultiplied ARGB32, transparency kept. A null image for a damaged or cut-off file, or one that
// is not `size` pixels as stored, which the caller has checked against the limits.
QImage DecodeWithLibpng(QIODevice& file, QSize size);
QImage DecodeWithLibtiff(QIODevice& file, QSize size);

// Decode a still WebP of `size` pixels, scaled while decoding to `scaledSize` when that is valid,
// into RGB32, or premultiplied ARGB32 when it has transparency. A null image for a damaged or
// cut-off file, or one of another size.
QImage DecodeWithLibwebp(QIODevice& file, QSize size, QSize scaledSize);

// Decode a PNG of `size` pixels, stored in order, scaled while decoding to `scaledSize` (no larger
// on either side): RGB32, or premultiplied ARGB32 when it has transparency, colours as Qt's reader
// gives them. A null image for a damaged or cut-off file, or one of another size.
QImage DecodeWithLibpngScaled(QIODevice& file, QSize size, QSize scaledSize);

// The same for a TIFF that decodes in rows, as it is stored (its orientation tag not applied):
// RGB32.
QImage DecodeWithLibtiffScaled(QIODevice& file, QSize size, QSize scaledSize);

}  // namespace tavello
