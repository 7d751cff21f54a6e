#include "saver/x11/MonitorCovers.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace tavello {

namespace {

class CoverWindow final : public QWidget {
  public:
    CoverWindow(QScreen* screen, const CoverInput& input)
        : QWidget(nullptr, kDeskWindowFlags), input_(input) {
        setObjectName(QStringLiteral("Cover"));
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, Qt::black);
        setPalette(palette);
        setAutoFillBackground(true);
        // The show keeps the focus; a cover never takes it, and shows no cursor.
        setAttribute(Qt::WA_ShowWithoutActivating);
        setFocusPolicy(Qt::NoFocus);
        setCursor(Qt::BlankCursor);
        setMouseTracking(true);
        setScreen(screen);
        setGeometry(screen->geometry());
    }

  protected:
    bool event(QEvent* event) override {
        // Every key, Tab included, before the focus chain can claim it.
        if (event->type() == QEvent::KeyPress) {
            if (input_.keyDown) input_.keyDown();
            return true;
        }
        return QWidget::event(event);
    }
    void closeEvent(QCloseEvent* event) override {
        // A close request from outside is input to the show; the cover stays.
        if (!event->spontaneous()) return;
        event->ignore();
        if (input_.keyDown) input_.keyDown();
    }
    void mousePressEvent(QMouseEvent* /*event*/) override {
        if (input_.mouseDown) input_.mouseDown();
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (input_.mouseMove) input_.mouseMove(event->globalPosition().toPoint());
    }

  private:
    const CoverInput& input_;
};

}  // namespace

struct MonitorCovers::Cover {
    QScreen* screen = nullptr;
    std::unique_ptr<CoverWindow> window;
};

MonitorCovers::MonitorCovers(QScreen* showScreen, CoverInput input, QObject* parent)
    : QObject(parent), showScreen_(showScreen), input_(std::move(input)) {
    for (QScreen* screen : QGuiApplication::screens()) cover(screen);
    connect(qGuiApp, &QGuiApplication::screenAdded, this, &MonitorCovers::cover);
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, &MonitorCovers::uncover);
}

MonitorCovers::~MonitorCovers() = default;

QList<QWidget*> MonitorCovers::windows() const {
    QList<QWidget*> list;
    for (const auto& c : covers_) list.append(c->window.get());
    return list;
}

void MonitorCovers::cover(QScreen* screen) {
    if (screen == showScreen_) return;
    auto entry = std::make_unique<Cover>();
    entry->screen = screen;
    entry->window = std::make_unique<CoverWindow>(screen, input_);
    CoverWindow* window = entry->window.get();
    connect(screen, &QScreen::geometryChanged, window,
            [window](const QRect& geometry) { window->setGeometry(geometry); });
    window->show();
    covers_.push_back(std::move(entry));
    emit coversChanged();
}

void MonitorCovers::uncover(QScreen* screen) {
    const auto gone = std::remove_if(covers_.begin(), covers_.end(),
                                     [screen](const auto& c) { return c->screen == screen; });
    if (gone == covers_.end()) return;
    covers_.erase(gone, covers_.end());
    emit coversChanged();
}

}  // namespace tavello
