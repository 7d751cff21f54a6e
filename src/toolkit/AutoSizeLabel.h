#pragma once

#include <QLabel>
#include <QSize>

namespace tavello {

// A label that sizes itself to its text whenever its text or font changes, unless switched to a
// fixed size. Its text is always plain: a caption such as "<i>photos</i>" shows as typed.
//
// The caption is kept whole, but only the part that can show within the visible area (by default
// the screen) is laid out, so that a caption of megabytes does not stall the window. Set the
// alignment before the caption: it decides which part of an overlong line shows.
class AutoSizeLabel : public QLabel {
    Q_OBJECT
  public:
    explicit AutoSizeLabel(QWidget* parent = nullptr);
    void setAutoSize(bool on);
    bool autoSize() const { return autoSize_; }
    void setCaption(const QString& text);
    // The whole caption; the label's own text when it was set past setCaption.
    QString caption() const;
    void setFontName(const QString& family);
    void setFontSize(double points);
    // The largest area the label can ever be seen in; an empty size means the label's screen.
    void setVisibleArea(QSize area);

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void fitToText();
    QSize visibleArea() const;

    QString caption_;
    QString shown_;  // the part of the caption given to the label to lay out
    QSize visibleArea_;
    bool autoSize_ = true;
};

}  // namespace tavello
