#pragma once

#include <QByteArray>
#include <QString>
#include <chrono>

namespace tavello {

// The option that adds the idle watcher to the session's autostart programs; it must be the first
// argument, optionally followed by the idle time.
inline constexpr char kAddToAutostartOption[] = "--add-to-autostart";
// The idle time when none is given.
inline constexpr char kDefaultAutostartIdleTime[] = "10m";

struct AutostartReport {
    bool ok = false;
    QString message;  // one line for the terminal, saying what was done or what went wrong
};

// ${XDG_CONFIG_HOME:-~/.config}/autostart/tavello-idle.desktop, the XDG autostart entry that
// GNOME, KDE, MATE and Xfce start at log-in.
QString AutostartFile();

// How the entry names this program: plain "tavello" when that name finds this very program on
// the PATH, else its full path, quoted as a desktop entry's Exec wants it.
QString AutostartProgram(const QString& programPath);

// The entry that runs "program --idle TIME".
QByteArray AutostartEntry(const QString& program, std::chrono::seconds idleTime);

// Writes the entry to path (its folder made when missing), atomically; an entry that is already
// the same is left alone, and the message says so.
AutostartReport AddToAutostart(const QString& path, const QString& program,
                               std::chrono::seconds idleTime);

}  // namespace tavello
