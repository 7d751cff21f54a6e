#pragma once

#include <QPoint>

namespace tavello {

// The mouse cursor: a display counter (hidden while below 0) and the pointer position in
// screen pixels.
class CursorService {
  public:
    virtual ~CursorService() = default;
    // show true adds 1 to the counter, false subtracts 1; returns the new counter.
    virtual int ShowCursor(bool show) = 0;
    virtual QPoint GetCursorPos() = 0;
};

CursorService& SystemCursor();

}  // namespace tavello
