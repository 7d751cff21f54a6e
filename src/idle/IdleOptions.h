#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace tavello {

// The option naming the user's own lock command, for the show ("/S --lock 'swaylock -f'") and
// for the idle watcher, which passes it on to the show it starts.
inline constexpr char kLockOption[] = "--lock";

// What may follow "--idle": the time, and "--lock COMMAND" before or after it.
struct IdleOptions {
    QString time;
    QString lockCommand;  // empty: none given
};

// The watcher's options from the arguments after "--idle"; nothing when the time is missing or
// doubled, "--lock" has no command, or anything else is there.
std::optional<IdleOptions> ParseIdleOptions(const QStringList& args);

// The lock command given among the show's arguments ("--lock COMMAND"), or empty.
QString LockCommandOption(const QStringList& args);

// The arguments the watcher starts the show with.
QStringList ShowArguments(const QString& lockCommand);

}  // namespace tavello
