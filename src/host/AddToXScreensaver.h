#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

namespace tavello {

// The option that adds TAVELLO to the user's xscreensaver list; it must be the first argument.
inline constexpr char kAddToXScreensaverOption[] = "--add-to-xscreensaver";

// Where the list is read and written.
struct XScreensaverPaths {
    QString userFile;            // ~/.xscreensaver
    QStringList systemDefaults;  // xscreensaver's app-defaults files; the first readable one counts
};

struct AddToXScreensaverReport {
    bool ok = false;
    QString message;  // one line for the terminal, saying what was done or what went wrong
};

// Adds TAVELLO (run as command) to the list in paths.userFile, making the file from the system's
// defaults when it is missing. Only a file of the home folder's owner is edited (also when run as
// root): it is replaced atomically and keeps its owner, group and mode; a symbolic link stays a
// link and its target, when it is the owner's file, gets the change. A file that another program
// saves meanwhile is read again, never overwritten. beforeReplace runs just before the new file
// takes the old one's place.
AddToXScreensaverReport AddToXScreensaver(const XScreensaverPaths& paths, const QByteArray& command,
                                          const std::function<void()>& beforeReplace = {});

// $HOME/.xscreensaver and the places Debian and others keep xscreensaver's app-defaults file.
// userFile is empty when HOME is not set.
XScreensaverPaths SystemXScreensaverPaths();

// The command xscreensaver is to run: plain "tavello --root" when that name finds this very
// program on the PATH or in xscreensaver's folder of hacks (which it puts in front of the PATH),
// else this program's full path, quoted for the shell where needed.
QByteArray HackCommand(const QString& programPath);

// "tavello --add-to-xscreensaver": does it, prints one line, returns the exit status.
int RunAddToXScreensaver(int& argc, char** argv);

}  // namespace tavello
