#pragma once

#include "settings/SaverSettings.h"

#include <QString>

namespace tavello {

// The settings folder followed by the path separator.
QString WinPath();

// WinPath() + "TAVELLO.INI".
QString SettingsPath();

// Reads the file at path; a missing file (or anything but a regular file) gives the defaults.
// Never creates the file. Lines end at CR or CR LF; a lone LF is part of the line. Reads at most
// 64 MiB, up to the last whole line, and at most 100,000 picture lines.
SaverSettings LoadSettings(const QString& path);

// text as one line: each run of line breaks (CR, LF) between other characters becomes one blank,
// so pasted lines stay apart as words; breaks at the start or end go, so a copied path with its
// trailing line end still names the file. Every other character is kept.
QString OnOneLine(const QString& text);

struct SaveResult {
    bool ok = false;
    QString error;  // what went wrong, for the user, when !ok
};

// Replaces the file at path atomically: seven value lines, then one picture per line, CR LF.
// Every value is written through OnOneLine. A picture is written exactly as it is, lone LFs
// included (they read back as part of the line), unless it holds a CR: then through OnOneLine.
// On failure the previous file is left as it was and the failure is returned.
SaveResult SaveSettings(const QString& path, const SaverSettings& settings);

}  // namespace tavello
