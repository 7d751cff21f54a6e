#pragma once

// The toolkit's image control: shows a picture either at the picture's own size or stretched to
// whatever size it is given, with fractional pixel geometry, and, when disabled, lets mouse input
// through to the window beneath it.

#include "toolkit/Picture.h"

#include <QPixmap>
#include <QWidget>

namespace tavello {

class ImageControl : public QWidget {
    Q_OBJECT
  public:
    explicit ImageControl(QWidget* parent = nullptr);

    // Makes `picture` the control's picture. With stretching off the control takes the picture's
    // own size; an empty picture draws nothing and leaves the control's size as it was.
    void setPicture(const LoadedPicture& picture);
    void clearPicture() { setPicture(LoadedPicture{QImage(), QSize(0, 0), true}); }
    const LoadedPicture& picture() const { return picture_; }
    bool hasPicture() const { return !picture_.image.isNull(); }

    // Off: the control is as large as its picture's own size and draws it unscaled.
    // On: the picture is drawn scaled to the control's size. Turning it off resizes the control to
    // its picture, as assigning a picture does.
    void setStretch(bool on);
    bool stretch() const { return stretch_; }

    // Position and size in pixels, kept as given; the widget itself sits at the rounded values.
    double Left() const { return left_; }
    double Top() const { return top_; }
    double Width() const { return width_; }
    double Height() const { return height_; }
    void setLeft(double value);
    void setTop(double value);
    void setWidth(double value);
    void setHeight(double value);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void takeOwnSize();
    void place();
    QSize drawnSize() const;

    LoadedPicture picture_{QImage(), QSize(0, 0), true};
    bool stretch_ = false;
    double left_ = 0;
    double top_ = 0;
    double width_ = 0;
    double height_ = 0;
    QPixmap cache_;  // the picture at its drawn size, so a repaint is a plain copy
};

}  // namespace tavello
