#include "saver/UpscaledView.h"

#include <QGraphicsProxyWidget>
#include <QGraphicsScene>

namespace tavello {

UpscaledView::UpscaledView(QWidget* show, Qt::WindowFlags flags) : QGraphicsView() {
    setWindowFlags(flags);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setBackgroundBrush(Qt::black);
    setRenderHint(QPainter::SmoothPixmapTransform);
    // The host owns input; the show takes none.
    setFocusPolicy(Qt::NoFocus);
    setInteractive(false);
    // No pointer over the photos: the show's own blank cursor does not reach through the view.
    // The view's own window needs it too: the toolkit gives a window the arrow when it makes it
    // and moves a child's cursor onto it only once the pointer moves, so under a host that mapped
    // the show beneath a resting pointer the arrow would stand there for the whole show.
    setCursor(Qt::BlankCursor);
    viewport()->setCursor(Qt::BlankCursor);
    auto* scene = new QGraphicsScene(this);
    scene->addWidget(show);
    setScene(scene);
}

void UpscaledView::Fit(double upscale, const QRect& visible, QPoint origin) {
    setTransform(QTransform::fromScale(upscale, upscale));
    const QRect shown = visible.isEmpty() ? QRect(0, 0, 1, 1) : visible;
    setSceneRect(QRectF(QPointF(shown.topLeft()) / upscale, QSizeF(shown.size()) / upscale));
    setGeometry(shown.translated(origin));
}

}  // namespace tavello
