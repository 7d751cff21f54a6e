#pragma once

#include <QString>

namespace tavello {

// The folder that stands in for the Windows directory: $XDG_CONFIG_HOME/tavello, or
// ~/.config/tavello. It holds the settings file, user.reg and the password file.
QString SettingsFolder();

// Creates the settings folder (mode 0700) if it does not exist; false when that fails.
bool EnsureSettingsFolder();

// The classic lookup: copies the folder into buffer (NUL-terminated, at most size bytes including
// the NUL) and returns its length, or the size needed when the buffer is too small.
unsigned GetWindowsDirectoryA(char* buffer, unsigned size);

}  // namespace tavello
