#pragma once

// Hostile and unusual files where a picture should be, made on the spot, each with what loading
// it must give: either the picture (at a known size, red above blue) or a failed load. Shared by
// the loader's, the show's and the preview's tests.

#include "picture_samples.h"
#include "support/TestDir.h"

#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QSize>

#include <vector>

namespace tavello::test::corpus {

enum class Kind { File, Folder, Fifo, DeviceLink };

struct Entry {
    const char* name;
    QByteArray bytes;
    QSize shows;  // the picture's size when it must load; invalid when it must fail
    Kind kind = Kind::File;
};

// Top half red, bottom half blue: a picture stored upside down shows at once.
inline QImage RedOverBlue(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(0, 0, size.width(), size.height() / 2, QColor(220, 20, 20));
    painter.fillRect(0, size.height() / 2, size.width(), size.height() - size.height() / 2,
                     QColor(20, 20, 220));
    return image;
}

inline void Le(QByteArray& out, quint32 value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += char((value >> (8 * i)) & 0xFF);
}

// A BMP with a two-colour palette (0 red, 1 blue) followed by `pixels` as given.
inline QByteArray PaletteBmp(qint32 width, qint32 height, int bits, quint32 compression,
                             quint32 coloursUsed, const QByteArray& pixels) {
    constexpr quint32 kPixelsAt = 14 + 40 + 2 * 4;
    QByteArray bmp("BM", 2);
    Le(bmp, kPixelsAt + quint32(pixels.size()), 4);
    Le(bmp, 0, 4);
    Le(bmp, kPixelsAt, 4);
    Le(bmp, 40, 4);
    Le(bmp, quint32(width), 4);
    Le(bmp, quint32(height), 4);
    Le(bmp, 1, 2);
    Le(bmp, quint32(bits), 2);
    Le(bmp, compression, 4);
    Le(bmp, quint32(pixels.size()), 4);
    Le(bmp, 2835, 4);
    Le(bmp, 2835, 4);
    Le(bmp, coloursUsed, 4);
    Le(bmp, 0, 4);
    Le(bmp, 0x00FF0000, 4);  // red (stored blue, green, red, unused)
    Le(bmp, 0x000000FF, 4);  // blue
    return bmp + pixels;
}

constexpr quint32 kRle8 = 1, kRle4 = 2;

inline QByteArray Rle8(const QByteArray& runs) {
    return PaletteBmp(8, 4, 8, kRle8, 2, runs);
}
inline QByteArray Rle4(const QByteArray& runs) {
    return PaletteBmp(8, 4, 4, kRle4, 2, runs);
}

// An 8 × 4 picture stored bottom-up: two rows of blue (index 1), then two of red (index 0).
inline QByteArray WholeRle8() {
    return Rle8(QByteArray("\x08\x01\x00\x00\x08\x01\x00\x00\x08\x00\x00\x00\x08\x00\x00\x01", 16));
}
inline QByteArray WholeRle4() {
    return Rle4(QByteArray("\x08\x11\x00\x00\x08\x11\x00\x00\x08\x00\x00\x00\x08\x00\x00\x01", 16));
}

// The same picture stored top-down: rows in display order and a negative height in the header.
inline QByteArray TopDownBmp(const QImage& image) {
    QByteArray bmp = samples::Encode(image, "BMP");
    const qsizetype pixelsAt = qsizetype(quint8(bmp[10])) | qsizetype(quint8(bmp[11])) << 8;
    const qsizetype rowBytes = (image.width() * 3 + 3) / 4 * 4;
    QByteArray rows;
    for (int y = image.height() - 1; y >= 0; --y)
        rows += bmp.mid(pixelsAt + y * rowBytes, rowBytes);
    QByteArray header = bmp.left(22);
    Le(header, quint32(-image.height()), 4);
    return header + bmp.mid(26, pixelsAt - 26) + rows;
}

inline QByteArray RandomBytes(qsizetype count, quint32 seed) {
    QRandomGenerator random(seed);
    QByteArray bytes(count, '\0');
    for (char& byte : bytes) byte = char(random.bounded(256));
    return bytes;
}

// The formats beyond JPEG and BMP, each whole and cut off two thirds of the way: PNG, WebP and
// TIFF from Qt's writers, GIF, HEIC and AVIF from ImageMagick (which writes the last two through
// libheif). A sample that cannot be made stays empty and so fails the test that loads it.
inline void AddFormats(std::vector<Entry>& entries, const QImage& picture) {
    const struct {
        const char* whole;
        const char* cut;
        QByteArray bytes;
    } formats[] = {
        {"whole.png", "cut.png", samples::Encode(picture, "PNG")},
        {"whole.webp", "cut.webp", samples::Encode(picture, "WEBP")},
        {"whole.tif", "cut.tif", samples::Encode(picture, "TIFF")},
        {"whole.gif", "cut.gif", samples::Converted(picture, QStringLiteral("gif"))},
        {"whole.heic", "cut.heic", samples::Converted(picture, QStringLiteral("heic"))},
        {"whole.avif", "cut.avif", samples::Converted(picture, QStringLiteral("avif"))},
    };
    for (const auto& format : formats) {
        entries.push_back({format.whole, format.bytes, picture.size()});
        entries.push_back({format.cut, format.bytes.left(format.bytes.size() * 2 / 3), {}});
    }
    // A small first frame on a logical screen far beyond the limits, which is what GIF decodes.
    QByteArray hugeScreen = formats[3].bytes;
    if (hugeScreen.size() > 10) hugeScreen.replace(6, 4, QByteArray(4, '\xFF'));
    entries.push_back({"huge-screen.gif", hugeScreen, {}});
    // Coded four times larger than their stored size says, which a reduced decode would hide.
    for (const char* format : {"heic", "avif"}) {
        const QByteArray coded = samples::Converted(RedOverBlue(picture.size() * 4), format);
        entries.push_back({format[0] == 'h' ? "lying-size.heic" : "lying-size.avif",
                           samples::WithHeifSize(coded, picture.size()),
                           {}});
    }
}

inline std::vector<Entry> Pictures() {
    const QSize size(64, 48);
    const QByteArray jpeg = samples::Encode(RedOverBlue(size), "JPEG");
    const QByteArray progressive = samples::Encode(RedOverBlue(size), "JPEG", true);
    const QByteArray random = RandomBytes(4096, 10);
    std::vector<Entry> entries{
        {"zero-byte.jpg", QByteArray(), {}},
        {"random.jpg", random, {}},
        {"random-after-marker.jpg", QByteArray("\xFF\xD8\xFF", 3) + random, {}},
        {"random-after-signature.bmp", QByteArray("BM") + random, {}},
        {"truncated.jpg", jpeg.left(jpeg.size() / 2), {}},
        {"truncated-progressive.jpg", progressive.left(progressive.size() * 2 / 3), {}},
        {"lying-header.jpg", samples::WithJpegSize(jpeg, 65535, 65535), {}},
        {"lying-header.bmp", samples::AbsurdBmp(65535, 65535), {}},
        {"lying-header-top-down.bmp", samples::AbsurdBmp(65535, -65535), {}},
        {"huge-palette.bmp", PaletteBmp(8, 4, 8, 0, 0xFFFFFFFF, QByteArray(32, '\x01')), {}},
        {"rle8-run-past-row.bmp", Rle8(QByteArray("\xFF\x01\xFF\x01\x00\x01", 6)), {}},
        {"rle4-run-past-row.bmp", Rle4(QByteArray("\x20\x11\x00\x01", 4)), {}},
        {"rle8-copy-past-row.bmp",
         Rle8(QByteArray("\x00\x0A", 2) + QByteArray(10, '\x01') + QByteArray("\x00\x01", 2)),
         {}},
        {"rle8-jump-below-picture.bmp",
         Rle8(QByteArray("\x00\x02\x00\x09\x04\x01\x00\x01", 8)),
         {}},
        {"rle8-cut.bmp", WholeRle8().left(WholeRle8().size() - 6), {}},
        {"progressive.jpg", progressive, size},
        // Coefficients of most of a gigabyte, held whole by the decoder at any scale.
        {"huge-progressive.jpg", samples::WithJpegSize(progressive, 16384, 16384, '\xC2'), {}},
        {"repeated-scan.jpg", samples::WithRepeatedScan(progressive, 1000), {}},
        {"bulky-text.png",
         samples::WithTextChunks(samples::Encode(RedOverBlue(size), "PNG"), 20, 1 << 20), size},
        {"top-down.bmp", TopDownBmp(RedOverBlue(size)), size},
        {"rle8.bmp", WholeRle8(), QSize(8, 4)},
        {"rle4.bmp", WholeRle4(), QSize(8, 4)},
        {"folder.jpg", {}, {}, Kind::Folder},
        {"fifo.jpg", {}, {}, Kind::Fifo},
        {"device.jpg", {}, {}, Kind::DeviceLink},
    };
    AddFormats(entries, RedOverBlue(size));
    return entries;
}

// Puts the entry into `dir` and returns its path.
inline QString Place(const TestDir& dir, const Entry& entry) {
    const QString path = dir.file(QString::fromLatin1(entry.name));
    switch (entry.kind) {
        case Kind::File:
            dir.write(QString::fromLatin1(entry.name), entry.bytes);
            break;
        case Kind::Folder:
            QDir().mkpath(path);
            break;
        case Kind::Fifo:
            ::mkfifo(QFile::encodeName(path).constData(), 0600);
            break;
        case Kind::DeviceLink:
            QFile::link(QStringLiteral("/dev/zero"), path);
            break;
    }
    return path;
}

// Red in the upper half and blue in the lower, as every picture of the corpus that loads is.
inline bool RedAboveBlue(const QImage& image) {
    return !image.isNull() &&
           samples::IsReddish(image.pixel(image.width() / 2, image.height() / 4)) &&
           samples::IsBluish(image.pixel(image.width() / 2, image.height() * 3 / 4));
}

}  // namespace tavello::test::corpus
