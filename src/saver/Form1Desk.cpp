// The show on a desk of several monitors, and with the password on, the show's hold on the desk.

#include "saver/DeskHold.h"
#include "saver/Form1.h"
#include "saver/MonitorCovers.h"
#include "saver/ShowKeeper.h"

#include <QApplication>

namespace tavello {

void Form1::CoverDesk() {
    // Input on another monitor is input to the show, with positions on the whole desk.
    CoverInput input;
    input.keyDown = [this] { Form_KeyDown(); };
    input.mouseDown = [this] { Form_MouseDown(); };
    input.mouseMove = [this](QPoint position) { Form_MouseMove(position); };
    covers_ = std::make_unique<MonitorCovers>(screen(), std::move(input));
    if (deps_.passwordFlag != 0)
        hold_ = std::make_unique<DeskHold>(*deps_.services.desk, this,
                                           [this] { return covers_->windows(); });
    keeper_ = std::make_unique<ShowKeeper>(
        *deps_.services.desk, [this] { RetakeDesk(); }, [this] { LoseWindow(); });
}

void Form1::ReleaseDesk() {
    keeper_.reset();
    hold_.reset();
    covers_.reset();
}

void Form1::RetakeDesk() {
    if (ended_) return;
    // While the password prompt asks, it keeps the focus; the hold alone is taken again.
    if (!QApplication::activeModalWidget())
        TakeKeyboard();
    else if (hold_)
        hold_->Hold();
}

void Form1::LoseWindow() {
    // Without its window the show would run on unseen, keeping every later start out.
    windowLost_ = true;
    close();
}

}  // namespace tavello
