#include "platform/HelperProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>
#include <vector>

extern char** environ;

namespace tavello {
namespace {

// The file actions that leave the child nothing of ours but its socket.
struct ChildFiles {
    posix_spawn_file_actions_t actions;
    explicit ChildFiles(int socket) {
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, socket, kHelperSocketFd);
        posix_spawn_file_actions_addclosefrom_np(&actions, kHelperSocketFd + 1);
    }
    ~ChildFiles() { posix_spawn_file_actions_destroy(&actions); }
};

}  // namespace

std::optional<HelperProcess> StartHelperProcess(const QByteArray& program,
                                                const QList<QByteArray>& args, bool nonBlocking) {
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0) return std::nullopt;
    OwnedFd ours(ends[0]);
    OwnedFd theirs(ends[1]);
    // Kept off the helper's own number, where dup2 would leave it closed on exec.
    if (theirs.get() == kHelperSocketFd)
        theirs.reset(::fcntl(kHelperSocketFd, F_DUPFD_CLOEXEC, kHelperSocketFd + 1));
    if (!theirs.valid()) return std::nullopt;
    if (nonBlocking) ::fcntl(ours.get(), F_SETFL, ::fcntl(ours.get(), F_GETFL) | O_NONBLOCK);

    std::vector<char*> argv;
    for (const QByteArray& arg : args) argv.push_back(const_cast<char*>(arg.constData()));
    argv.push_back(nullptr);
    const ChildFiles files(theirs.get());
    pid_t pid = -1;
    if (::posix_spawn(&pid, program.constData(), &files.actions, nullptr, argv.data(), environ) !=
        0)
        return std::nullopt;
    return HelperProcess{pid, std::move(ours)};
}

QByteArray OwnProgram() {
    return QByteArrayLiteral("/proc/self/exe");
}

qint64 OwnProcessId() {
    return ::getpid();
}

void EndHelperProcess(qint64 pid) {
    if (pid <= 0) return;
    ::kill(static_cast<pid_t>(pid), SIGKILL);
    // A helper stuck reading a share that stopped answering dies only when the read ends.
    std::thread([pid] {
        while (::waitpid(static_cast<pid_t>(pid), nullptr, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

}  // namespace tavello
