#pragma once

#include <QString>

namespace tavello {

// The folder that stands in for the Windows directory: $XDG_CONFIG_HOME/tavello, or
// ~/.config/tavello. It holds the settings file, user.reg and the password file.
QString SettingsFolder();

// Creates the settings folder (mode 0700) if it does not exist; false when that fails.
bool EnsureSettingsFolder();

// The user's runtime folder: $XDG_RUNTIME_DIR when set, else /run/user/<uid> when it is a real
// folder of this user that nobody else may enter; "" when there is none. Sound servers
// (PulseAudio, PipeWire) keep their sockets there and the instance lock lives there.
QString UserRuntimeFolder();

// Some hosts start their screen savers with a short, fixed environment that lacks
// XDG_RUNTIME_DIR, so the sound library would not find the user's sound server. Puts the folder
// found above into the environment. Call it first thing, before any thread starts.
void AdoptUserRuntimeFolder();

}  // namespace tavello
