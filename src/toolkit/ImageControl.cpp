#include "toolkit/ImageControl.h"

#include <QEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace tavello {
namespace {

// Beyond this many pixels a cached copy would cost more memory than it saves time.
constexpr qint64 kMaxCachedPixels = 16LL * 1024 * 1024;

// Nearest whole pixel, halves to even, clamped to what a widget can hold.
int WholePixels(double value) {
    if (!std::isfinite(value)) return 0;
    constexpr double kLimit = QWIDGETSIZE_MAX;
    return int(std::nearbyint(std::clamp(value, -kLimit, kLimit)));
}

qint64 Area(QSize size) {
    return qint64(size.width()) * size.height();
}

}  // namespace

ImageControl::ImageControl(QWidget* parent) : QWidget(parent) {
    resize(0, 0);
}

void ImageControl::setPicture(const LoadedPicture& picture) {
    picture_ = picture;
    cache_ = QPixmap();
    if (!stretch_) takeOwnSize();
    update();
}

void ImageControl::setStretch(bool on) {
    if (stretch_ == on) return;
    stretch_ = on;
    cache_ = QPixmap();
    if (!stretch_) takeOwnSize();
    update();
}

void ImageControl::takeOwnSize() {
    if (picture_.empty || picture_.ownSize.isEmpty()) return;
    width_ = picture_.ownSize.width();
    height_ = picture_.ownSize.height();
    place();
}

void ImageControl::setLeft(double value) {
    left_ = value;
    place();
}

void ImageControl::setTop(double value) {
    top_ = value;
    place();
}

void ImageControl::setWidth(double value) {
    width_ = value;
    place();
}

void ImageControl::setHeight(double value) {
    height_ = value;
    place();
}

void ImageControl::place() {
    setGeometry(WholePixels(left_), WholePixels(top_), std::max(0, WholePixels(width_)),
                std::max(0, WholePixels(height_)));
}

QSize ImageControl::drawnSize() const {
    return stretch_ ? size() : picture_.ownSize;
}

void ImageControl::resizeEvent(QResizeEvent* event) {
    if (stretch_) cache_ = QPixmap();
    QWidget::resizeEvent(event);
}

void ImageControl::changeEvent(QEvent* event) {
    // A disabled image is see-through for the mouse, so clicks and moves reach the window.
    if (event->type() == QEvent::EnabledChange) {
        setAttribute(Qt::WA_TransparentForMouseEvents, !isEnabled());
    }
    QWidget::changeEvent(event);
}

void ImageControl::paintEvent(QPaintEvent*) {
    const QSize target = drawnSize();
    if (!hasPicture() || target.isEmpty()) return;
    QPainter painter(this);
    const bool cacheable = Area(target) <= kMaxCachedPixels;
    if (cacheable && cache_.size() != target) {
        const QImage& image = picture_.image;
        cache_ =
            QPixmap::fromImage(image.size() == target ? image
                                                      : image.scaled(target, Qt::IgnoreAspectRatio,
                                                                     Qt::SmoothTransformation));
    }
    if (cacheable) {
        painter.drawPixmap(0, 0, cache_);
    } else {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRect(QPoint(0, 0), target), picture_.image);
    }
}

}  // namespace tavello
