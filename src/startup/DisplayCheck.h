#pragma once

#include "platform/WindowSystem.h"

#include <QString>

namespace tavello {

// The one line that tells the user why no window can open and what to do about it.
QString WindowSystemMessage(const WindowSystemProblem& problem);

// Before the application object: true when the show and the dialogs can reach an X display,
// whose connection the hold then keeps until the application object has its own; otherwise prints
// that line to the error output and returns false (the caller ends with 1).
bool ReachDisplayOrSay(DisplayHold& hold);

}  // namespace tavello
