#include "host/HostShow.h"

#include "platform/HostWindow.h"
#include "saver/UpscaledView.h"
#include "toolkit/Toolkit.h"

#include <QEvent>
#include <QGraphicsProxyWidget>
#include <QTimer>

namespace tavello {

namespace {

Qt::WindowFlags FlagsFor(HostTarget target) {
    switch (target) {
        case HostTarget::HostWindow:
            return Qt::Window | Qt::FramelessWindowHint;
        case HostTarget::Root:
            // Over the root window like a background: no window manager, no frame.
            return Qt::Window | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint;
        case HostTarget::OwnWindow:
            break;
    }
    return Qt::Window;
}

}  // namespace

HostShow::HostShow(const HostShowDeps& deps, const HackOptions& options)
    : deps_(deps), options_(options) {
    const std::optional<QRect> place = PlaceOnScreen();
    if (!place) return;
    place_ = *place;
    layout_ = PlanHostLayout(*place, deps_.monitors);
    const bool smallPane = options_.target == HostTarget::HostWindow && layout_.sizeScale < 1 &&
                           !deps_.windows->IsTopLevel(options_.window);
    playsMusic_ = PlaysMusic(options_.target, options_.namedOnCommandLine, smallPane);

    SaverDeps saver = deps_.saver;
    saver.services.mci = playsMusic_ ? deps_.music : deps_.silence;
    saver.screenTwips = layout_.drawn * kTwipsPerPixel;
    HostedShow hosted;
    hosted.windowFlags = FlagsFor(options_.target);
    hosted.sizeScale = layout_.sizeScale;
    hosted.firstPicture = static_cast<std::int16_t>(layout_.monitor);
    hosted.imageFolder = deps_.imageFolder;
    saver.hosted = hosted;
    form_ = std::make_unique<Form1>(saver);
    // In a window of the host (or the root window), which may be of any size, the show draws at
    // its layout's size and a view enlarges it; a window of our own keeps its plain show.
    if (options_.target != HostTarget::OwnWindow) {
        view_ = std::make_unique<UpscaledView>(form_.get(), FlagsFor(options_.target));
        FollowWindowSize(place->size());
    }
    PutWindowInPlace(*place);

    connect(&endSignals_, &EndSignals::requested, form_.get(), &QWidget::close);
}

HostShow::~HostShow() {
    // The view's scene would delete the form with itself; the form is taken back out first.
    if (QGraphicsProxyWidget* proxy = form_ ? form_->graphicsProxyWidget() : nullptr)
        proxy->setWidget(nullptr);
}

QWidget* HostShow::window() const {
    return view_ ? static_cast<QWidget*>(view_.get()) : form_.get();
}

void HostShow::FollowWindowSize(const QSize& size) {
    const QRect window(place_.topLeft(), size);
    const HostLayout layout = PlanHostLayout(window, deps_.monitors);
    form_->resize(layout.drawn);
    if (!view_) return;
    // Embedded in the host's window, the view's place is in that window's coordinates.
    const QPoint origin = options_.target == HostTarget::Root ? window.topLeft() : QPoint();
    view_->Fit(layout.upscale, VisiblePart(window, deps_.monitors), origin);
}

std::optional<QRect> HostShow::PlaceOnScreen() const {
    switch (options_.target) {
        case HostTarget::HostWindow:
            return deps_.windows->Geometry(options_.window);
        case HostTarget::Root:
            return deps_.windows->Geometry(deps_.windows->RootWindow());
        case HostTarget::OwnWindow:
            break;
    }
    // A window of our own: half the first monitor each way, in its middle, so the show looks as
    // on that monitor, scaled down.
    const QRect monitor = deps_.monitors.isEmpty() ? QRect(0, 0, 1024, 768) : deps_.monitors[0];
    QRect own(QPoint(0, 0), monitor.size() / 2);
    own.moveCenter(monitor.center());
    return own;
}

void HostShow::PutWindowInPlace(const QRect& place) {
    switch (options_.target) {
        case HostTarget::HostWindow:
            deps_.windows->EmbedInto(*view_, options_.window);
            deps_.windows->Watch(options_.window);
            connect(deps_.windows, &HostWindows::resized, this, &HostShow::FollowWindowSize);
            connect(deps_.windows, &HostWindows::gone, form_.get(), &QWidget::close);
            break;
        case HostTarget::Root:
            view_->installEventFilter(this);  // lowered once shown
            break;
        case HostTarget::OwnWindow:
            form_->setWindowTitle(QStringLiteral("TAVELLO"));
            form_->move(place.topLeft());
            break;
    }
}

bool HostShow::eventFilter(QObject* watched, QEvent* event) {
    // On the root window the show stays beneath every other window, as a background does.
    if (watched == view_.get() && event->type() == QEvent::Show)
        QTimer::singleShot(0, view_.get(), &QWidget::lower);
    return QObject::eventFilter(watched, event);
}

void HostShow::Run() {
    // A signal that came earlier is seen while the window comes up, and ends the show there.
    if (view_) view_->show();
    if (form_) form_->Form_Load();
}

}  // namespace tavello
