#pragma once

#include <QLabel>

namespace tavello {

// A label that sizes itself to its text whenever its text or font changes, unless switched to a
// fixed size.
class AutoSizeLabel : public QLabel {
    Q_OBJECT
  public:
    explicit AutoSizeLabel(QWidget* parent = nullptr);
    void setAutoSize(bool on);
    bool autoSize() const { return autoSize_; }
    void setCaption(const QString& text);
    QString caption() const { return text(); }
    void setFontName(const QString& family);
    void setFontSize(double points);

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void fitToText();
    bool autoSize_ = true;
};

}  // namespace tavello
