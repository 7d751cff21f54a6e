#pragma once

#include <QFrame>
#include <QImage>

namespace tavello {

// A picture box: shows its picture at the top-left corner of its inside, within a 2-pixel sunken
// frame, and keeps a drawing surface (its image) that holds what is drawn into it even while the
// box is out of sight. Sizes are in pixels.
class PictureBox : public QFrame {
    Q_OBJECT
  public:
    explicit PictureBox(QWidget* parent = nullptr);

    // Sets the picture; the image becomes the picture on the box's background. Setting a picture
    // of the same size and format as the last one reuses its memory, so a picture handed over at
    // every tick costs a copy, not an allocation.
    void setPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }

    // The persistent drawing surface, the size of the box's inside. Call update() after drawing.
    QImage& image();

    int scaleWidth() const { return contentsRect().width(); }
    int scaleHeight() const { return contentsRect().height(); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void storePicture(const QImage& picture);
    void composeImage();

    QImage picture_;
    QImage image_;
    // The image still has to be made from the picture; until then painting draws the picture.
    bool imageStale_ = true;
};

}  // namespace tavello
