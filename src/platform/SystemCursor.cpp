#include "platform/Cursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace tavello {
namespace {

// A display counter as the classic platform keeps it: the cursor is hidden while it is below 0.
// Hiding is a blank override cursor over the whole application.
class OverrideCursor final : public CursorService {
  public:
    int ShowCursor(bool show) override {
        const bool wasHidden = counter_ < 0;
        counter_ += show ? 1 : -1;
        const bool hidden = counter_ < 0;
        if (hidden && !wasHidden) QGuiApplication::setOverrideCursor(QCursor(Qt::BlankCursor));
        if (!hidden && wasHidden) QGuiApplication::restoreOverrideCursor();
        return counter_;
    }
    QPoint GetCursorPos() override { return QCursor::pos(); }

  private:
    int counter_ = 0;
};

}  // namespace

CursorService& SystemCursor() {
    static OverrideCursor cursor;
    return cursor;
}

}  // namespace tavello
