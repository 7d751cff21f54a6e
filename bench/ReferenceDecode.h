#pragma once

// Each format's reference library called in this process the way a program of its own would call
// it to show a picture fitted to the screen: scaled while decoding where the library can
// (libturbojpeg, libwebp), whole otherwise.

#include <QSize>
#include <QString>

#include <functional>

namespace tavello::bench {

// The library that decodes `format` ("jpg", "png", "webp", "tif", "heic", "avif"); empty for none.
QString ReferenceLibrary(const QString& format);

// Decodes the file through its reference library and drops the pixels; false when it fails.
bool ReferenceDecode(const QString& format, const QString& path, QSize shown);

// How far a second call of `decode` raises the peak resident memory above the resident size it
// started from, in kB; -1 when it fails. Meant for a fresh process of its own: freed memory is
// handed back first and large blocks always mapped afresh, so that nothing freed before hides the
// decode's own growth.
qint64 PeakGrowthKb(const std::function<bool()>& decode);

}  // namespace tavello::bench
