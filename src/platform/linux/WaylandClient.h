#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>
#include <cstdint>
#include <memory>
#include <vector>

struct wl_display;
struct wl_interface;
struct wl_registry;

namespace tavello {

// A connection to the session's Wayland compositor, read inside Qt's event loop: the globals it
// offers, bound on demand, and the events of every object made on it dispatched as they come.
// Objects bound or made through it must be destroyed before it. Made before the application
// object exists (a probe), it is read only by its round trips.
class WaylandClient : public QObject {
    Q_OBJECT
  public:
    // Connects to the compositor WAYLAND_DISPLAY names and reads its globals; null when it cannot
    // be reached.
    static std::unique_ptr<WaylandClient> Connect();
    ~WaylandClient() override;

    wl_display* display() const { return display_; }
    bool Offers(const char* interface) const;
    // The first global of that interface, bound at its version or at most at maxVersion; null
    // when none is offered.
    void* Bind(const wl_interface* interface, std::uint32_t maxVersion);
    // Waits until the compositor has answered everything asked so far; false once it is gone.
    bool Roundtrip();
    // Sends the requests made so far.
    void Flush();

  signals:
    // The compositor closed the connection or broke the protocol: nothing more comes.
    void lost();

  private:
    struct Global {
        std::uint32_t name;
        QByteArray interface;
        std::uint32_t version;
    };

    explicit WaylandClient(wl_display* display);
    static void onGlobal(void* data, wl_registry* registry, std::uint32_t name,
                         const char* interface, std::uint32_t version);
    static void onGlobalRemove(void* data, wl_registry* registry, std::uint32_t name);
    void readEvents();
    void dispatchQueued();
    void loseConnection();

    wl_display* display_;
    wl_registry* registry_ = nullptr;
    std::vector<Global> globals_;
    std::unique_ptr<QSocketNotifier> readable_;
    bool lost_ = false;
};

}  // namespace tavello
