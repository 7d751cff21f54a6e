#pragma once

#include <QString>

namespace tavello {

// user.reg in the settings folder: the desktop's password switch, kept in the registry editor's
// text format so that files exported from the classic platform read as they are.
QString UserRegPath();

// The file's text, or "" when it is missing. Accepts the registry editor's UTF-16 files too.
QString ReadUserRegText();

// Whether the show asks for the password before it ends: "ScreenSaveUsePassword" under
// [HKEY_CURRENT_USER\Control Panel\desktop] holds a non-zero number of at most four bytes.
// False when the file, the section or the value is missing or the value is longer.
bool ReadScreenSaveUsePassword();

// Sets "ScreenSaveUsePassword" under [HKEY_CURRENT_USER\Control Panel\desktop] to dword 1 or 0,
// keeping everything else in the file; the file is replaced atomically. False on failure.
bool WriteScreenSaveUsePassword(bool on);

}  // namespace tavello
