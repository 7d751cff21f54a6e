#pragma once

namespace tavello {

struct Services;

// "/C": creates the settings dialog, loads it and shows it without making it modal, then returns;
// the caller runs the event loop, which ends when the dialog is closed.
void ShowSettingsDialog(const Services& services);

}  // namespace tavello
