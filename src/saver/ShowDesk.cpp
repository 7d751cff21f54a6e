#include "saver/ShowDesk.h"

#include "saver/DeskHold.h"
#include "saver/Form1.h"
#include "saver/MonitorCovers.h"
#include "saver/ShowKeeper.h"

#include <QApplication>

namespace tavello {

ShowDesk::ShowDesk(Form1& show) : show_(show) {
    // Input on another monitor is input to the show, with positions on the whole desk.
    CoverInput input;
    input.keyDown = [&show] { show.Form_KeyDown(); };
    input.mouseDown = [&show] { show.Form_MouseDown(); };
    input.mouseMove = [&show](QPoint position) { show.Form_MouseMove(position); };
    covers_ = std::make_unique<MonitorCovers>(show.screen(), std::move(input));
    DeskGuard& guard = *show.deps_.services.desk;
    if (show.deps_.passwordFlag != 0)
        hold_ = std::make_unique<DeskHold>(guard, &show, [this] { return covers_->windows(); });
    keeper_ = std::make_unique<ShowKeeper>(
        guard, [this] { Retake(); }, [&show] { show.LoseWindow(); });
}

ShowDesk::~ShowDesk() {
    keeper_.reset();
    hold_.reset();
    covers_.reset();
}

bool ShowDesk::Hold() {
    if (!hold_) return false;
    hold_->Hold();
    return true;
}

void ShowDesk::Retake() {
    if (show_.ended()) return;
    // While the password prompt asks, it keeps the focus; the hold alone is taken again.
    if (!QApplication::activeModalWidget())
        show_.TakeKeyboard();
    else
        Hold();
}

}  // namespace tavello
