#pragma once

// The settings dialog's own resources, drawn by scripts/make-resources.py and built into the
// program: the window icon, the banner bitmap and the link cursor.

#include <QByteArray>
#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QPoint>
#include <optional>

namespace tavello {

QByteArray DialogIconFile();
QByteArray BannerBitmapFile();
QByteArray LinkCursorFile();

QIcon DialogIcon();
QImage BannerBitmap();
QCursor LinkCursor();

// A cursor file's first image: black, white and transparent pixels, and its hot spot.
struct CursorPicture {
    QImage image;  // ARGB32
    QPoint hotSpot;
};

// Reads a cursor file's first image and its hot spot; nothing for anything else.
std::optional<CursorPicture> ReadCursorFile(const QByteArray& bytes);

}  // namespace tavello
