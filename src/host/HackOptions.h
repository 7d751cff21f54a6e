#pragma once

// The command line of a screen-saver "hack": the options the X11 hosts (xscreensaver, MATE, Xfce)
// pass to a program that draws into a window they give it.

#include "host/HostLayout.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace tavello {

// What the host asked for, as read from its command line and as the show follows it.
struct HackOptions {
    // -window-id N, or -root with XSCREENSAVER_WINDOW set: HostWindow; -root alone: Root;
    // -window: OwnWindow.
    HostTarget target = HostTarget::OwnWindow;
    std::uint32_t window = 0;         // the host's window, for HostWindow
    bool namedOnCommandLine = false;  // the window came from -window-id (a settings preview)
    QString display;                  // -display, empty when not given
};

// Reads a hack's command line (the arguments after the program's path) and the value of
// XSCREENSAVER_WINDOW (empty when unset). Nothing when the command line is not a hack's: it does
// not begin with an option, or none of -root, -window-id and -window is among its options; the
// classic start-up then runs as ever. Options may have one or two dashes and may carry their
// value after "="; options the show has no use for (-fps, -delay N, -visual V, ...) are ignored.
std::optional<HackOptions> ParseHackOptions(const QStringList& args,
                                            const QString& screensaverWindow);

// A window id as the hosts write it: decimal, or hexadecimal after "0x". Nothing for any other
// text, for 0, and for a value beyond 32 bits.
std::optional<std::uint32_t> ParseWindowId(const QString& text);

}  // namespace tavello
