#pragma once

#include "saver/ShowDesk.h"

namespace tavello {

// The desk of an X11 session: the show's window above every other, bypassing the window manager,
// black covers on the other monitors, the keyboard grabbed, windows another program unmaps,
// reparents or destroys brought back, and with the password on, both grabs and the stacking held.
std::unique_ptr<ShowDesk> MakeX11Desk(DeskRequest request);

}  // namespace tavello
