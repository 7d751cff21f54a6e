#pragma once

// Picture loading for both windows: JPEG and BMP, PNG, GIF (its first frame), WebP and TIFF through
// Qt's readers and image plugins (the few PNG and TIFF kinds they draw wrongly through libpng and
// libtiff, a still WebP through libwebp, which decodes it at the size shown), HEIC/HEIF and AVIF
// through libheif. The orientation is applied
// (the JPEG and TIFF tag, the HEIF transformations), pictures decode at reduced scale when they
// will be shown smaller, cut-off files fail, and hard limits keep any file, whatever it claims,
// from crashing the program or exhausting memory (a JPEG repeating its scans fails; a PNG's bulky
// compressed text is left out before decoding).

#include <QFile>
#include <QImage>
#include <QSize>
#include <QString>

#include <future>
#include <optional>

namespace tavello {

// A loaded picture. `image` may be smaller than `ownSize` when a reduced decode was asked for;
// `ownSize` is always the picture's own size in pixels, as the file describes it (after the
// orientation tag). The empty picture (from an empty path) has no image and a 0 × 0 own size.
struct LoadedPicture {
    QImage image;
    QSize ownSize;
    bool empty = false;
};

// Limits that keep every decode within a sane amount of memory.
inline constexpr qint64 kMaxPictureFileBytes = 128LL * 1024 * 1024;
// The largest picture (in pixels) we agree to decode at all, even at reduced scale.
inline constexpr qint64 kMaxPicturePixels = 400LL * 1000 * 1000;
// The largest image we let the decoder allocate (4 bytes a pixel), in megabytes.
inline constexpr int kMaxDecodeMegabytes = 256;

// The decode limit in force: kMaxDecodeMegabytes unless lowered, as tests do so that a picture of
// a few megapixels tells a decode at the shown size from a whole one.
int DecodeLimitMegabytes();
void SetDecodeLimitMegabytes(int megabytes);

// How many pixels a picture of this size has, without overflowing int.
inline qint64 Pixels(QSize size) {
    return qint64(size.width()) * size.height();
}

// The picture's own size from its header, with a 90° orientation tag swapping width and height.
// Nothing for a missing, unreadable or non-picture file, a size of zero, or a path that is no
// regular file (a folder, FIFO, device or socket is never opened for reading).
std::optional<QSize> ReadPictureSize(const QString& path);

// Loads a picture. An empty path gives the empty picture. A missing, unreadable, truncated or
// corrupt file, one whose size is beyond the limits above, or a path that is no regular file,
// gives nothing.
// When `decodeSize` is valid and no larger than the picture's own size, the picture is decoded at
// (about) that size, JPEG in the DCT domain, so a big photo shown on a screen decodes quickly and
// small; otherwise it is decoded at its own size.
std::optional<LoadedPicture> LoadPicture(const QString& path, QSize decodeSize = QSize());
// The same two from a regular file already open for reading, read from its start.
std::optional<QSize> ReadPictureSize(QFile& file);
std::optional<LoadedPicture> LoadPicture(QFile& file, QSize decodeSize = QSize());

// Loads every decoder and image plugin now, so that nothing needs to be read from disk to
// decode later.
void LoadDecoders();

// The size the decoder is asked for, given the picture's own size and the wanted size; an
// invalid size means "decode at the picture's own size".
QSize ReducedDecodeSize(QSize ownSize, QSize decodeSize);

// Prepares one picture ahead in a worker thread. At most one picture is waiting at any time; a
// picture replaced or dropped before it was taken is not waited for: its thread finishes on its
// own and frees it. Not thread-safe itself: use it from one thread.
class PicturePrefetcher {
  public:
    PicturePrefetcher() = default;
    ~PicturePrefetcher() = default;
    PicturePrefetcher(const PicturePrefetcher&) = delete;
    PicturePrefetcher& operator=(const PicturePrefetcher&) = delete;

    // Starts preparing `path` at `decodeSize`, replacing whatever was prepared before.
    void request(const QString& path, QSize decodeSize = QSize());
    // The prepared picture when it matches the request, waiting for it to finish if needed;
    // otherwise loads it now. The prepared picture is handed over either way.
    std::optional<LoadedPicture> take(const QString& path, QSize decodeSize = QSize());
    // Whether a picture is being prepared or waiting for `take`.
    bool pending() const { return job_.valid(); }
    // Whether the matching picture is prepared and waiting (take would not block).
    bool ready(const QString& path, QSize decodeSize = QSize()) const;

  private:
    void drop();

    QString path_;
    QSize decodeSize_;
    std::future<std::optional<LoadedPicture>> job_;
};

}  // namespace tavello
