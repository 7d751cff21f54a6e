#include "toolkit/DirectDecode.h"

#include <QIODevice>

#include <png.h>

namespace tavello {
namespace {

constexpr qint64 kSignatureBytes = 8;
constexpr qint64 kChunkFrame = 12;  // length and type before the data, checksum after it
constexpr int kHeaderChunkBytes = 8 + 13;
constexpr int kRgbColourType = 2;

quint32 BigEndian32(const QByteArray& bytes, qsizetype at) {
    quint32 value = 0;
    for (qsizetype i = at; i < at + 4; ++i) value = value << 8 | quint8(bytes[i]);
    return value;
}

}  // namespace

bool PngNeedsLibpng(QIODevice& file) {
    if (!file.seek(kSignatureBytes)) return false;
    const QByteArray header = file.read(kHeaderChunkBytes);
    if (header.size() < kHeaderChunkBytes || header.mid(4, 4) != "IHDR") return false;
    const int bitDepth = quint8(header[16]);
    const int colourType = quint8(header[17]);
    if (bitDepth != 16 || colourType != kRgbColourType) return false;
    // A transparent colour (tRNS) comes after the header and before the first pixel data.
    qint64 at = kSignatureBytes + kChunkFrame + BigEndian32(header, 0);
    while (file.seek(at)) {
        const QByteArray chunk = file.read(8);
        if (chunk.size() < 8) return false;
        const QByteArray type = chunk.mid(4, 4);
        if (type == "tRNS") return true;
        if (type == "IDAT") return false;
        at += kChunkFrame + BigEndian32(chunk, 0);
    }
    return false;
}

QImage DecodeWithLibpng(QIODevice& file, QSize size) {
    if (!file.seek(0)) return QImage();
    // The caller has kept the file within the size limit; libpng's simple reader wants it whole.
    const QByteArray bytes = file.readAll();
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, bytes.constData(), size_t(bytes.size()))) {
        return QImage();
    }
    // 16-bit samples without a gamma chunk are sRGB as every viewer shows them, not linear light.
    png.flags |= PNG_IMAGE_FLAG_16BIT_sRGB;
    png.format = PNG_FORMAT_RGBA;  // eight bits a sample, alpha not premultiplied
    QImage image;
    if (QSize(int(png.width), int(png.height)) == size) {
        image = QImage(size, QImage::Format_RGBA8888);
    }
    // Reading to the end frees libpng's state whether it succeeds or not.
    const bool read =
        !image.isNull() && png_image_finish_read(&png, nullptr, image.bits(),
                                                 png_int_32(image.bytesPerLine()), nullptr);
    png_image_free(&png);
    return read ? image.convertToFormat(QImage::Format_ARGB32_Premultiplied) : QImage();
}

}  // namespace tavello
