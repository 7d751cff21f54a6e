#include "platform/EndSignals.h"

#include <fcntl.h>
#include <unistd.h>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

namespace tavello {

namespace {

// The self-pipe: the handler may only do async-signal-safe work, so it writes one byte that the
// event loop's socket notifier then sees.
int gPipe[2] = {-1, -1};

void OnEndSignal(int) {
    const int saved = errno;
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

}  // namespace tavello
