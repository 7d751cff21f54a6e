#include "saver/wayland/LayerShellDesk.h"

#include "platform/linux/WaylandClient.h"
#include "saver/wayland/IdleResume.h"
#include "saver/wayland/LayerSurface.h"
#include "saver/wayland/SeatInput.h"
#include "saver/wayland/WaylandGlobals.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <vector>

namespace tavello {

namespace {

class LayerShellDesk final : public QObject, public ShowDesk {
  public:
    LayerShellDesk(DeskRequest request, std::unique_ptr<WaylandClient> connection)
        : request_(std::move(request)), connection_(std::move(connection)) {
        if (connection_) connect(connection_.get(), &WaylandClient::lost, this, [this] { Lose(); });
    }

    ~LayerShellDesk() override {
        request_.window->removeEventFilter(this);
        idle_.reset();
        input_.reset();
        surfaces_.clear();
        globals_.reset();
    }

    void PutUp() override {
        QWidget& window = *request_.window;
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            window.setGeometry(screen->geometry());
        window.show();
        if (!connection_) return Lose();
        window.installEventFilter(this);
        if (QWindow* handle = window.windowHandle()) handle->installEventFilter(this);
        globals_ = std::make_unique<WaylandGlobals>(connection_->display());
        globals_->outputAdded = [this](WaylandOutput* output) { Cover(*output); };
        globals_->outputRemoved = [this](WaylandOutput* output) { Uncover(*output); };
        // Globals first, then the monitors' descriptions, which put up their surfaces.
        if (!connection_->Roundtrip() || !globals_->layerShell) return Lose();
        input_ = std::make_unique<SeatInput>(
            globals_->seat, globals_->seatVersion,
            SeatEvents{request_.events.keyDown, request_.events.mouseDown,
                       request_.events.mouseMove,
                       [this](wl_surface* surface) { return OriginOf(surface); }});
        idle_ = std::make_unique<IdleResume>(request_.events.keyDown);
        connection_->Roundtrip();
    }

    // The surfaces hold the keyboard for as long as they are up.
    void TakeInput() override {}
    // No prompt of the show asks on this desk: a Wayland desk is locked by the desktop's own
    // locker, which takes the keyboard itself.
    void LetKeyboardGo() override {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // The show changed something on its window: painted again once the change is done.
        const QEvent::Type type = event->type();
        if (type == QEvent::UpdateRequest || type == QEvent::LayoutRequest) QueueRepaint();
        return QObject::eventFilter(watched, event);
    }

  private:
    void Cover(WaylandOutput& output) {
        LayerSurfaceUse use;
        use.paint = [this, &output](QImage& image) {
            if (IsMain(output)) PaintShow(image);
        };
        use.sized = [this, &output](QSize size) {
            if (IsMain(output)) request_.window->resize(size);
        };
        // The compositor took the surface away while its monitor is still there: it is put up
        // again, as on X11 a window another program takes away comes back.
        use.closed = [this, &output] {
            QMetaObject::invokeMethod(
                this, [this, name = output.name] { Recover(name); }, Qt::QueuedConnection);
        };
        surfaces_.push_back(
            std::make_unique<LayerSurface>(*connection_, *globals_, output, std::move(use)));
    }

    void Uncover(WaylandOutput& output) {
        const bool wasMain = IsMain(output);
        std::erase_if(surfaces_, [&output](const auto& s) { return &s->output() == &output; });
        // The show moves to the monitor that is now the first.
        if (wasMain && !surfaces_.empty()) {
            request_.window->resize(surfaces_.front()->size());
            surfaces_.front()->Repaint();
        }
    }

    void Recover(std::uint32_t name) {
        for (const auto& output : globals_->outputs()) {
            if (output->name != name) continue;
            const bool wasMain = IsMain(*output);
            Uncover(*output);
            Cover(*output);
            // Put back where it stood: the main monitor's surface first.
            if (wasMain) std::rotate(surfaces_.begin(), surfaces_.end() - 1, surfaces_.end());
            if (request_.events.retaken) request_.events.retaken();
        }
    }

    bool IsMain(const WaylandOutput& output) const {
        return !surfaces_.empty() && &surfaces_.front()->output() == &output;
    }

    QPoint OriginOf(wl_surface* surface) const {
        for (const auto& s : surfaces_)
            if (s->surface() == surface) return s->output().Logical().topLeft();
        return {};
    }

    void PaintShow(QImage& image) {
        QWidget& window = *request_.window;
        if (window.size() != image.size()) window.resize(image.size());
        window.render(&image);
    }

    void QueueRepaint() {
        if (repaintQueued_) return;
        repaintQueued_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                repaintQueued_ = false;
                if (!surfaces_.empty()) surfaces_.front()->Repaint();
            },
            Qt::QueuedConnection);
    }

    void Lose() {
        if (lost_) return;
        lost_ = true;
        if (request_.events.lost)
            QMetaObject::invokeMethod(this, request_.events.lost, Qt::QueuedConnection);
    }

    DeskRequest request_;
    std::unique_ptr<WaylandClient> connection_;
    std::unique_ptr<WaylandGlobals> globals_;
    std::unique_ptr<SeatInput> input_;
    std::unique_ptr<IdleResume> idle_;
    std::vector<std::unique_ptr<LayerSurface>> surfaces_;
    bool repaintQueued_ = false;
    bool lost_ = false;
};

}  // namespace

std::unique_ptr<ShowDesk> MakeLayerShellDesk(DeskRequest request) {
    return std::make_unique<LayerShellDesk>(std::move(request), WaylandClient::Connect());
}

}  // namespace tavello
