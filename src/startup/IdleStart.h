#pragma once

namespace tavello {

// The option that runs the idle watcher; it must be the first argument, followed by the time.
inline constexpr char kIdleOption[] = "--idle";

// "tavello --idle TIME": watches the desk and runs the show ("/S", this same program) after
// TIME without input, again after each next idle period, until SIGTERM, SIGINT or SIGHUP ends it
// and the show it runs. Returns the exit status: 2 for a time it cannot read, 1 when there is no
// display or no idle time to watch, 0 when another watcher of this user already runs.
int RunIdleWatcher(int argc, char** argv);

// "tavello --add-to-autostart [TIME]": writes the autostart entry, prints one line, returns the
// exit status (2 for a time it cannot read, 1 when the entry cannot be written).
int RunAddToAutostart(int argc, char** argv);

}  // namespace tavello
