#include "saver/HostShow.h"

#include "platform/HostWindow.h"
#include "toolkit/Toolkit.h"

#include <QEvent>
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

HostShow::HostShow(const HostShowDeps& deps, const HostRequest& request)
    : deps_(deps), request_(request) {
    const std::optional<QRect> place = PlaceOnScreen();
    if (!place) return;
    layout_ = PlanHostLayout(*place, deps_.monitors);
    const bool smallPane = request_.target == HostTarget::HostWindow && layout_.sizeScale < 1 &&
                           !deps_.windows->IsTopLevel(request_.window);
    playsMusic_ = PlaysMusic(request_.target, request_.namedOnCommandLine, smallPane);

    SaverDeps saver = deps_.saver;
    saver.services.mci = playsMusic_ ? deps_.music : deps_.silence;
    saver.screenTwips = layout_.size * kTwipsPerPixel;
    HostedShow hosted;
    hosted.windowFlags = FlagsFor(request_.target);
    hosted.sizeScale = layout_.sizeScale;
    hosted.firstPicture = static_cast<std::int16_t>(layout_.monitor);
    saver.hosted = hosted;
    form_ = std::make_unique<Form1>(saver);
    PutWindowInPlace(*place);

    connect(&endSignals_, &EndSignals::requested, form_.get(), &QWidget::close);
}

HostShow::~HostShow() = default;

std::optional<QRect> HostShow::PlaceOnScreen() const {
    switch (request_.target) {
        case HostTarget::HostWindow:
            return deps_.windows->Geometry(request_.window);
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
    switch (request_.target) {
        case HostTarget::HostWindow:
            deps_.windows->EmbedInto(*form_, request_.window);
            form_->move(0, 0);
            deps_.windows->Watch(request_.window);
            connect(deps_.windows, &HostWindows::resized, form_.get(),
                    qOverload<const QSize&>(&QWidget::resize));
            connect(deps_.windows, &HostWindows::gone, form_.get(), &QWidget::close);
            break;
        case HostTarget::Root:
            form_->move(place.topLeft());
            form_->installEventFilter(this);  // lowered once shown
            break;
        case HostTarget::OwnWindow:
            form_->setWindowTitle(QStringLiteral("TAVELLO"));
            form_->move(place.topLeft());
            break;
    }
}

bool HostShow::eventFilter(QObject* watched, QEvent* event) {
    // On the root window the show stays beneath every other window, as a background does.
    if (watched == form_.get() && event->type() == QEvent::Show)
        QTimer::singleShot(0, form_.get(), &QWidget::lower);
    return QObject::eventFilter(watched, event);
}

void HostShow::Run() {
    // A signal that came earlier is seen while the window comes up, and ends the show there.
    if (form_) form_->Form_Load();
}

}  // namespace tavello
