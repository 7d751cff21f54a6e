#pragma once

// Files whose decoding would cost far more than their size suggests, found from chunk and segment
// headers (and a JPEG's coded data, for its markers) before any decoder sees them.

#include <QByteArray>

class QIODevice;

namespace tavello {

// Whether a JPEG has few enough scans to decode in reasonable time: every scan of a progressive
// JPEG passes over the whole picture again, so one scan repeated a thousand times takes a minute.
// A progressive JPEG whose coefficients alone (held whole until its last scan, at any decode
// size) would take more than 256 MB fails as well. Other formats pass, and so does a broken JPEG
// (its decoder fails it). The read position is left anywhere.
bool JpegScansBounded(QIODevice& file);

// Whether a PNG's compressed text chunks (zTXt, and iTXt with its compression flag) could inflate
// to more than a few megabytes. Qt's reader inflates every one of them and keeps them all with the
// picture, so a one-pixel file of 150 KB can take gigabytes. The read position is left anywhere.
bool PngHasBulkyText(QIODevice& file);

// The PNG's bytes with its text chunks (tEXt, zTXt, iTXt) left out; every other chunk, with its
// checksum, as it is. Empty for a file that is no PNG or whose chunks run past its end.
QByteArray PngWithoutText(QIODevice& file);

}  // namespace tavello
