#pragma once

// Helper processes of our own program, each talking to us over a packet socket of its own and
// never waited for: ended by a kill, their remains collected out of sight.

#include "platform/OwnedFd.h"

#include <QByteArray>
#include <QList>
#include <optional>

namespace tavello {

// The descriptor the helper finds its end of the socket at.
inline constexpr int kHelperSocketFd = 3;

struct HelperProcess {
    qint64 pid = -1;
    OwnedFd socket;  // ours, non-blocking when asked for, closed on exec
};

// Starts program with args (argv[0] is the program), its standard input from /dev/null, its
// output and errors shared with ours, and no descriptor of ours but its end of a new packet
// socket at kHelperSocketFd. nullopt when it cannot be started.
std::optional<HelperProcess> StartHelperProcess(const QByteArray& program,
                                                const QList<QByteArray>& args, bool nonBlocking);

// The program this process runs, to start another copy of it.
QByteArray OwnProgram();

// This process's id, for a helper to check its parent by.
qint64 OwnProcessId();

// Kills the helper at once and collects it from a thread of its own, never waiting here.
void EndHelperProcess(qint64 pid);

}  // namespace tavello
