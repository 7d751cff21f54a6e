#include "dialog/Form2Resources.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
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
    // The directory: reserved 0, type 2 (cursor), at least one image; Qt reads the images but
    // not the hot spot, which the first entry holds where an icon keeps its planes and depth.
    constexpr qsizetype kDirectory = 6, kEntry = 16;
    if (bytes.size() < kDirectory + kEntry) return std::nullopt;
    if (Word(bytes, 0) != 0 || Word(bytes, 2) != 2 || Word(bytes, 4) < 1) return std::nullopt;
    const QPoint hotSpot(Word(bytes, 10), Word(bytes, 12));
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer, "cur");
    const QImage image = reader.read();
    if (image.isNull()) return std::nullopt;
    return CursorPicture{image.convertToFormat(QImage::Format_ARGB32), hotSpot};
}

}  // namespace tavello
