#pragma once

#include <QString>

namespace tavello {

// user.reg in the settings folder: the stand-in for the desktop's registry values, in the
// registry editor's text format.
QString UserRegPath();

// The file's text, or "" when it is missing. Accepts the registry editor's UTF-16 files too.
QString ReadUserRegText();

// Sets "ScreenSaveUsePassword" under [HKEY_CURRENT_USER\Control Panel\desktop] to dword 1 or 0,
// keeping everything else in the file; the file is replaced atomically. False on failure.
bool WriteScreenSaveUsePassword(bool on);

}  // namespace tavello
