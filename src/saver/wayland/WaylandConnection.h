#pragma once

#include <QList>
#include <QObject>
#include <QRect>
#include <functional>
#include <memory>

class QSocketNotifier;
struct wl_display;

namespace tavello {

// The desk's own connection to the compositor, its events dispatched by the toolkit's event loop.
class WaylandConnection : public QObject {
    Q_OBJECT
  public:
    // Null when the compositor cannot be reached.
    static std::unique_ptr<WaylandConnection> Connect();
    ~WaylandConnection() override;

    wl_display* display() const { return display_; }
    // Waits until the compositor has answered everything asked so far; false once it is gone.
    bool Roundtrip();
    // Sends what is waiting to be sent.
    void Flush();
    // Called once when the compositor closes the connection or refuses what was asked.
    std::function<void()> broken;

  private:
    explicit WaylandConnection(wl_display* display);
    void Readable();
    void Dispatch();
    void Break();

    wl_display* display_;
    std::unique_ptr<QSocketNotifier> notifier_;
    bool broken_ = false;
};

// What the session's compositor offers, asked before the toolkit starts.
struct WaylandOffer {
    bool reached = false;
    bool layerShell = false;
    QList<QRect> outputs;  // the monitors' places, the main one first
};
WaylandOffer ProbeWayland();

}  // namespace tavello
