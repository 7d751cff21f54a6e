#include "toolkit/PictureBox.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <cstring>

namespace tavello {

PictureBox::PictureBox(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    // Every pixel is painted here, so Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::setPicture(const QImage& picture) {
    storePicture(picture);
    imageStale_ = true;
    update(contentsRect());
}

void PictureBox::storePicture(const QImage& picture) {
    const bool reusable = !picture_.isNull() && picture_.size() == picture.size() &&
                          picture_.format() == picture.format() &&
                          picture_.bytesPerLine() == picture.bytesPerLine() &&
                          picture_.isDetached() && !picture.isNull();
    if (reusable && picture_.constBits() != picture.constBits())
        std::memcpy(picture_.bits(), picture.constBits(),
                    static_cast<std::size_t>(picture.sizeInBytes()));
    else if (!reusable)
        picture_ = picture;
}

QImage& PictureBox::image() {
    if (imageStale_) composeImage();
    return image_;
}

void PictureBox::composeImage() {
    const QSize size = contentsRect().size().expandedTo(QSize(1, 1));
    if (image_.size() != size) image_ = QImage(size, QImage::Format_RGB32);
    QPainter painter(&image_);
    painter.fillRect(image_.rect(), palette().color(backgroundRole()));
    if (!picture_.isNull()) painter.drawImage(0, 0, picture_);
    imageStale_ = false;
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect inside = contentsRect();
    // A new picture repaints the inside only; the frame is drawn when it is exposed itself.
    if (!inside.contains(event->rect())) drawFrame(&painter);
    painter.setClipRect(inside);
    if (imageStale_) {
        // Straight from the picture: the cheap path for a picture that changes at every tick.
        const QRect covered(inside.topLeft(), picture_.size());
        const QRegion background = QRegion(inside).subtracted(QRegion(covered));
        for (const QRect& r : background) painter.fillRect(r, palette().color(backgroundRole()));
        if (!picture_.isNull()) painter.drawImage(inside.topLeft(), picture_);
    } else {
        painter.drawImage(inside.topLeft(), image_);
    }
}

void PictureBox::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    if (imageStale_ || image_.isNull()) return;
    // Keep what was drawn: the surface grows or shrinks around its top-left corner.
    QImage resized(contentsRect().size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    resized.fill(palette().color(backgroundRole()));
    QPainter(&resized).drawImage(0, 0, image_);
    image_ = resized;
}

}  // namespace tavello
