#pragma once

// Pictures made on the spot for the picture tests, including deliberately broken ones.

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QProcess>
#include <QtEndian>

namespace tavello::test::samples {

// Left half red, right half blue: orientation and scaling mistakes show in the corners.
inline QImage HalvesPicture(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(0, 0, size.width() / 2, size.height(), QColor(220, 20, 20));
    painter.fillRect(size.width() / 2, 0, size.width() - size.width() / 2, size.height(),
                     QColor(20, 20, 220));
    return image;
}

inline QByteArray Encode(const QImage& image, const char* format, bool progressive = false) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(90);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return bytes;
}

// Adds an EXIF block holding only the orientation tag right after the JPEG start marker.
inline QByteArray WithOrientation(const QByteArray& jpeg, quint16 orientation) {
    QByteArray tiff("II*\0\x08\0\0\0", 8);    // little-endian header, first directory at 8
    tiff += QByteArray("\x01\0", 2);          // one entry
    tiff += QByteArray("\x12\x01\x03\0", 4);  // tag 0x0112 orientation, type SHORT
    tiff += QByteArray("\x01\0\0\0", 4);      // count 1
    tiff += char(orientation & 0xFF);
    tiff += char(orientation >> 8);
    tiff += QByteArray("\0\0", 2);      // value padding
    tiff += QByteArray("\0\0\0\0", 4);  // no next directory
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    const int length = int(payload.size()) + 2;
    QByteArray segment("\xFF\xE1", 2);
    segment += char(length >> 8);
    segment += char(length & 0xFF);
    segment += payload;
    return jpeg.left(2) + segment + jpeg.mid(2);
}

// Rewrites the frame header of a baseline (or with `frameMarker` 0xC2, progressive) JPEG to claim
// another size.
inline QByteArray WithJpegSize(QByteArray jpeg, int width, int height, char frameMarker = '\xC0') {
    const qsizetype frame = jpeg.indexOf(QByteArray("\xFF", 1) + frameMarker);
    if (frame < 0) return {};
    jpeg[frame + 5] = char(height >> 8);
    jpeg[frame + 6] = char(height & 0xFF);
    jpeg[frame + 7] = char(width >> 8);
    jpeg[frame + 8] = char(width & 0xFF);
    return jpeg;
}

// The HEIF file with every stored size (ispe box) claiming `size`.
inline QByteArray WithHeifSize(QByteArray heif, QSize size) {
    for (qsizetype at = heif.indexOf("ispe"); at >= 0 && at + 16 <= heif.size();
         at = heif.indexOf("ispe", at + 4)) {
        qToBigEndian(quint32(size.width()), heif.data() + at + 8);
        qToBigEndian(quint32(size.height()), heif.data() + at + 12);
    }
    return heif;
}

// A PNG chunk: length, type, data and its checksum.
inline QByteArray PngChunk(const QByteArray& type, const QByteArray& data) {
    const QByteArray body = type + data;
    quint32 crc = 0xFFFFFFFF;
    for (const char byte : body) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    const auto be32 = [](quint32 value) {
        const quint32 big = qToBigEndian(value);
        return QByteArray(reinterpret_cast<const char*>(&big), 4);
    };
    return be32(quint32(data.size())) + body + be32(~crc);
}

// The PNG with `count` zTXt chunks after its header, each inflating to `inflated` bytes.
inline QByteArray WithTextChunks(const QByteArray& png, int count, qsizetype inflated) {
    const QByteArray text = qCompress(QByteArray(inflated, 'a'), 9).mid(4);  // the zlib stream
    QByteArray chunks;
    for (int i = 0; i < count; ++i) {
        chunks += PngChunk("zTXt", "Comment" + QByteArray::number(i) + QByteArray(2, '\0') + text);
    }
    return png.left(8 + 25) + chunks + png.mid(8 + 25);
}

// The JPEG with its first scan, up to the next one, repeated `times` times more.
inline QByteArray WithRepeatedScan(const QByteArray& jpeg, int times) {
    const QByteArray sos("\xFF\xDA", 2);
    const qsizetype first = jpeg.indexOf(sos);
    const qsizetype second = jpeg.indexOf(sos, first + 2);
    if (first < 0 || second < 0) return {};
    return jpeg.left(second) + jpeg.mid(first, second - first).repeated(times) + jpeg.mid(second);
}

// A BMP header claiming a huge 24-bit picture, followed by a few bytes of pixels.
inline QByteArray AbsurdBmp(qint32 width, qint32 height) {
    auto le = [](QByteArray& out, quint32 value, int bytes) {
        for (int i = 0; i < bytes; ++i) out += char((value >> (8 * i)) & 0xFF);
    };
    QByteArray bmp("BM", 2);
    le(bmp, 54 + 64, 4);  // file size as claimed by a small file
    le(bmp, 0, 4);
    le(bmp, 54, 4);  // pixels follow the headers
    le(bmp, 40, 4);
    le(bmp, quint32(width), 4);
    le(bmp, quint32(height), 4);
    le(bmp, 1, 2);
    le(bmp, 24, 2);
    le(bmp, 0, 4);  // uncompressed
    le(bmp, 0, 4);
    le(bmp, 2835, 4);
    le(bmp, 2835, 4);
    le(bmp, 0, 4);
    le(bmp, 0, 4);
    return bmp + QByteArray(64, '\x40');
}

// Qt writers; `turn` is written as the file's orientation tag where the format has one (TIFF).
inline QByteArray EncodeTurned(const QImage& image, const char* format,
                               QImageIOHandler::Transformations turn) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setTransformation(turn);
    writer.write(image);
    return bytes;
}

// What ImageMagick's convert writes to its standard output given `arguments` and `input`; empty
// when it fails.
inline QByteArray Magick(const QStringList& arguments, const QByteArray& input = {}) {
    QProcess convert;
    convert.start(QStringLiteral("convert"), arguments);
    if (!convert.waitForStarted(10000)) return {};
    convert.write(input);
    convert.closeWriteChannel();
    if (!convert.waitForFinished(60000) || convert.exitCode() != 0) return {};
    return convert.readAllStandardOutput();
}

// Converts the picture with ImageMagick to `format` ("gif", "heic", "avif"); empty when it fails.
inline QByteArray Converted(const QImage& image, const QString& format) {
    return Magick({QStringLiteral("png:-"), format + QStringLiteral(":-")}, Encode(image, "PNG"));
}

inline bool IsReddish(QRgb pixel) {
    return qRed(pixel) > 150 && qBlue(pixel) < 100;
}
inline bool IsBluish(QRgb pixel) {
    return qBlue(pixel) > 150 && qRed(pixel) < 100;
}

}  // namespace tavello::test::samples
