#include "platform/EndSignals.h"

#include <fcntl.h>
#include <unistd.h>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <cstdio>

namespace tavello {

namespace {

// The self-pipe: the handler may only do async-signal-safe work, so it writes one byte that the
// event loop's socket notifier then sees.
int gPipe[2] = {-1, -1};
// The first end signal that arrived, 0 while none has.
volatile std::sig_atomic_t gCaught = 0;

void OnEndSignal(int signal) {
    const int saved = errno;
    if (gCaught == 0) gCaught = signal;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(gPipe[1], &byte, 1);  // a full pipe is fine
    errno = saved;
}

}  // namespace

void EndSignals::Catch() {
    if (gPipe[0] >= 0) return;
    if (pipe2(gPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;  // keep the default: the signal kills
    struct sigaction action {};
    action.sa_handler = OnEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

EndSignals::EndSignals(QObject* parent) : QObject(parent) {
    Catch();
    if (gPipe[0] < 0) return;
    auto* notifier = new QSocketNotifier(gPipe[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &EndSignals::onReadable);
}

EndSignals::~EndSignals() = default;

void EndSignals::onReadable() {
    char bytes[64];
    bool caught = false;
    while (read(gPipe[0], bytes, sizeof bytes) > 0) caught = true;
    if (caught) emit requested();
}

DieByCaughtSignal::~DieByCaughtSignal() {
    if (gCaught != 0) EndProcess(0);
}

void EndProcess(int status) {
    std::fflush(nullptr);  // what was printed still gets out; neither way below flushes it
    const int signal = gCaught;
    if (signal != 0) {
        struct sigaction action {};
        action.sa_handler = SIG_DFL;
        sigemptyset(&action.sa_mask);
        sigaction(signal, &action, nullptr);
        sigset_t only;
        sigemptyset(&only);
        sigaddset(&only, signal);
        sigprocmask(SIG_UNBLOCK, &only, nullptr);
        raise(signal);
        status = 128 + signal;  // not used: the default action of these signals ends the process
    }
    _exit(status);
}

}  // namespace tavello
