#pragma once

#include <QObject>

namespace tavello {

// The requests of the session or a screen-saver host to end the program: SIGTERM, SIGINT and
// SIGHUP. Once caught they no longer kill the process at once; they are reported on the event loop
// so the program can clean up as after any other end request (music stopped and closed), and
// then die by the same signal (see DieByCaughtSignal).
class EndSignals : public QObject {
    Q_OBJECT
  public:
    // Starts catching the signals. Call it first thing, before the window system is reached: a
    // signal that arrives before an EndSignals object exists is kept and reported by it.
    static void Catch();

    // Needs the application object; wakes the event loop and emits requested() once a signal
    // has arrived (at once, on the first turn of the loop, for one that arrived earlier).
    explicit EndSignals(QObject* parent = nullptr);
    ~EndSignals() override;

  signals:
    void requested();

  private:
    void onReadable();
};

// Declared first in main, so it goes last: once everything else has been cleaned up after a
// caught end signal, the process dies by that same signal (its default action restored, the
// signal raised again), as a Unix program ended by a signal does. Hosts read that as an ordinary
// end; an exit status of 0 after SIGTERM reads to them as an abnormal one.
class DieByCaughtSignal {
  public:
    DieByCaughtSignal() = default;
    ~DieByCaughtSignal();
    DieByCaughtSignal(const DieByCaughtSignal&) = delete;
    DieByCaughtSignal& operator=(const DieByCaughtSignal&) = delete;
};

// Ends the process at once with the status, running no destructor: a worker thread still blocked
// on a share that stopped answering, or a static object that would wait for its threads, cannot
// hold the end. For after the cleanup that matters (windows, grabs, music); the kernel releases
// the rest, the instance lock among it. After a caught end signal, dies by that signal instead.
[[noreturn]] void EndProcess(int status);

}  // namespace tavello
