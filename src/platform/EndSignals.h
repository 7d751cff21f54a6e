#pragma once

#include <QObject>

namespace tavello {

// The requests of the session or a screen-saver host to end the program: SIGTERM, SIGINT and
// SIGHUP. Once caught they no longer kill the process; they are reported on the event loop so the
// program can end as after any other end request (music stopped and closed, exit status 0).
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

}  // namespace tavello
