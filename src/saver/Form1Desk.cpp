// The show on a desk of several monitors, and with the password on, the show's hold on the desk.

#include "saver/DeskHold.h"
#include "saver/Form1.h"
#include "saver/MonitorCovers.h"

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
}

void Form1::ReleaseDesk() {
    hold_.reset();
    covers_.reset();
}

}  // namespace tavello
