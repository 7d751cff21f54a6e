#include "dialog/Form2Resources.h"

#include <QFile>
#include <QPixmap>
#include <QtEndian>

namespace tavello {
namespace {

QByteArray ReadResource(const QString& name) {
    QFile file(QStringLiteral(":/dialog/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

quint16 Word(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

quint32 Dword(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

bool Bit(const QByteArray& bytes, qsizetype rowStart, int x) {
    return (static_cast<unsigned char>(bytes[rowStart + x / 8]) >> (7 - x % 8)) & 1;
}

}  // namespace

QByteArray DialogIconFile() {
    return ReadResource(QStringLiteral("TAVELLO.ico"));
}
QByteArray BannerBitmapFile() {
    return ReadResource(QStringLiteral("banner.bmp"));
}
QByteArray LinkCursorFile() {
    return ReadResource(QStringLiteral("link.cur"));
}

QIcon DialogIcon() {
    return QIcon(QStringLiteral(":/dialog/TAVELLO.ico"));
}

QImage BannerBitmap() {
    return QImage::fromData(BannerBitmapFile(), "BMP");
}

QCursor LinkCursor() {
    const std::optional<CursorPicture> picture = ReadCursorFile(LinkCursorFile());
    if (!picture) return QCursor(Qt::PointingHandCursor);
    return QCursor(QPixmap::fromImage(picture->image), picture->hotSpot.x(), picture->hotSpot.y());
}

std::optional<CursorPicture> ReadCursorFile(const QByteArray& bytes) {
    constexpr qsizetype kDirectory = 6, kEntry = 16, kInfoHeader = 40;
    if (bytes.size() < kDirectory + kEntry) return std::nullopt;
    if (Word(bytes, 0) != 0 || Word(bytes, 2) != 2 || Word(bytes, 4) < 1) return std::nullopt;
    const QPoint hotSpot(Word(bytes, 10), Word(bytes, 12));
    const qsizetype offset = Dword(bytes, 18);
    if (offset < 0 || offset + kInfoHeader > bytes.size()) return std::nullopt;
    const qint32 width = static_cast<qint32>(Dword(bytes, offset + 4));
    const qint32 doubleHeight = static_cast<qint32>(Dword(bytes, offset + 8));
    const quint16 bits = Word(bytes, offset + 14);
    if (bits != 1 || width <= 0 || width > 256 || doubleHeight <= 0 || doubleHeight > 512)
        return std::nullopt;
    const int height = doubleHeight / 2;
    const qsizetype stride = (width + 31) / 32 * 4;
    const qsizetype colours = offset + Dword(bytes, offset);
    const qsizetype xorStart = colours + 2 * 4;
    const qsizetype andStart = xorStart + stride * height;
    if (andStart + stride * height > bytes.size()) return std::nullopt;

    auto paletteColour = [&](int index) {
        const qsizetype at = colours + index * 4;
        return qRgb(static_cast<unsigned char>(bytes[at + 2]),
                    static_cast<unsigned char>(bytes[at + 1]),
                    static_cast<unsigned char>(bytes[at]));
    };
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        const int fileRow = height - 1 - y;  // stored bottom-up
        for (int x = 0; x < width; ++x) {
            const bool transparent = Bit(bytes, andStart + fileRow * stride, x);
            const int index = Bit(bytes, xorStart + fileRow * stride, x) ? 1 : 0;
            image.setPixel(x, y, transparent ? qRgba(0, 0, 0, 0) : paletteColour(index));
        }
    }
    return CursorPicture{image, hotSpot};
}

}  // namespace tavello
