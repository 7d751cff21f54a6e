#pragma once

#include <QGraphicsView>

namespace tavello {

// The window a hosted show stands in: the show's drawing, enlarged to the host's window. Only the
// part of the host's window that lies on the monitors is a window of ours, so a host's window of
// absurd size costs no more than the desk.
class UpscaledView : public QGraphicsView {
    Q_OBJECT
  public:
    // show: the show's own top-level widget, drawn inside this view from now on.
    UpscaledView(QWidget* show, Qt::WindowFlags flags);

    // Enlarges the drawing upscale times and shows the part of it at visible (in the host
    // window's coordinates); the view itself goes to visible moved by origin.
    void Fit(double upscale, const QRect& visible, QPoint origin);
};

}  // namespace tavello
