#pragma once

#include "settings/SaverSettings.h"

#include <QString>

namespace tavello {

// The settings folder followed by the path separator.
QString WinPath();

// WinPath() + "TAVELLO.INI".
QString SettingsPath();

// Reads the file at path; a missing file (or anything but a regular file) gives the defaults.
// Never creates the file. Lines end at CR or CR LF; a lone LF is part of the line.
SaverSettings LoadSettings(const QString& path);

struct SaveResult {
    bool ok = false;
    QString error;  // what went wrong, for the user, when !ok
};

// Replaces the file at path atomically: seven value lines, then one picture per line, CR LF.
// On failure the previous file is left as it was and the failure is returned.
SaveResult SaveSettings(const QString& path, const SaverSettings& settings);

}  // namespace tavello
