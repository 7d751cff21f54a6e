#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace tavello {

// xscreensaver runs only the programs named in the "programs:" resource of the user's
// ~/.xscreensaver (or, with no such file, of its app-defaults file). These functions add TAVELLO
// to that list as a pure text transform; the files themselves are read and written elsewhere.

enum class XScreensaverListChange {
    Created,                // there was no file: a new one, seeded with the system's list
    Added,                  // TAVELLO was added to the file's list
    AlreadyListed,          // TAVELLO was listed already: nothing changed
    AlreadyListedDisabled,  // listed already but switched off with "-": nothing changed
};

struct XScreensaverListResult {
    XScreensaverListChange change;
    QByteArray text;  // the file's new content; the old content when nothing changed
};

// userFile: the content of ~/.xscreensaver, nullopt when there is none. systemDefaults: the
// app-defaults file, whose "*programs:" list seeds a list that is made from scratch. command:
// the shell command that starts TAVELLO as a hack ("tavello --root").
// Every byte of an existing file is kept: the result is the old text with one run of bytes
// inserted (or unchanged), so comments, spacing and switched-off entries stay as they were.
XScreensaverListResult AddTavelloToXScreensaverList(const std::optional<QByteArray>& userFile,
                                                    const std::optional<QByteArray>& systemDefaults,
                                                    const QByteArray& command);

// The folder xscreensaver's picture-using hacks take their pictures from: the last
// "imageDirectory:" setting of ~/.xscreensaver, read as xscreensaver reads the file, blanks around
// it dropped and a leading "~" taken as home. nullopt when the file names no folder (none, an
// empty value, or a web address).
std::optional<QString> XScreensaverImageDirectory(const QByteArray& userFile, const QString& home);

}  // namespace tavello
