#include "saver/Form1.h"

#include "platform/Cursor.h"
#include "platform/Password.h"
#include "saver/ShowTimer.h"
#include "settings/Numbers.h"
#include "toolkit/AutoSizeLabel.h"
#include "toolkit/ImageControl.h"
#include "toolkit/Toolkit.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMetaObject>
#include <QMouseEvent>

#include <cmath>

namespace tavello {

namespace {

void SetColours(QWidget* widget, const QColor& background, const QColor& text) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, text);
    widget->setPalette(palette);
}

}  // namespace

Form1::Form1(const SaverDeps& deps, QWidget* parent)
    // A show of its own takes the flags its desk gives it.
    : QWidget(parent, deps.hosted ? deps.hosted->windowFlags : Qt::Window),
      deps_(deps),
      music_(*deps.services.mci),
      clock_(*deps.services.ticks),
      pictures_(deps.scanFolder, *deps.pictures) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    SetColours(this, Qt::black, Qt::white);
    setAutoFillBackground(true);
    // Every movement is watched, not only drags; every key comes here, as no control takes focus.
    // In a host's window input belongs to the host.
    setMouseTracking(!Hosted());
    setFocusPolicy(Hosted() ? Qt::NoFocus : Qt::StrongFocus);

    Label1_ = new AutoSizeLabel(this);
    Label1_->setObjectName(QStringLiteral("Label1"));
    SetColours(Label1_, Qt::transparent, Qt::white);
    Label1_->setAutoFillBackground(false);
    Label1_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1_->setFocusPolicy(Qt::NoFocus);
    // Only what fits on the screen is laid out, however long the headline.
    Label1_->setVisibleArea(
        QSize(static_cast<int>(std::ceil(ScreenW())), static_cast<int>(std::ceil(ScreenH()))));
    QFont designFont(QStringLiteral("HG丸ｺﾞｼｯｸM-PRO"));
    designFont.setPointSizeF(36);
    Label1_->setFont(designFont);
    // The label takes clicks over its own area and swallows movement there.
    Label1_->setMouseTracking(!Hosted());
    if (!Hosted()) Label1_->installEventFilter(this);

    Image1_ = new ImageControl(this);
    Image1_->setObjectName(QStringLiteral("Image1"));
    Image1_->setEnabled(false);  // clicks and movement over the picture belong to the window
    Image1_->setFocusPolicy(Qt::NoFocus);
}

Form1::~Form1() {
    deps_.timer->Stop();
}

double Form1::ScreenW() const {
    return static_cast<double>(deps_.screenTwips.width()) / kTwipsPerPixel;
}

double Form1::ScreenH() const {
    return static_cast<double>(deps_.screenTwips.height()) / kTwipsPerPixel;
}

// ---- input ----

bool Form1::event(QEvent* event) {
    // Taken before the focus chain can claim Tab: every key, whatever it is, ends the show.
    if (event->type() == QEvent::KeyPress && !Hosted()) {
        Form_KeyDown();
        return true;
    }
    return QWidget::event(event);
}

void Form1::mousePressEvent(QMouseEvent* /*event*/) {
    if (!Hosted()) Form_MouseDown();
}

void Form1::mouseMoveEvent(QMouseEvent* event) {
    if (!Hosted()) Form_MouseMove(event->globalPosition().toPoint());
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label1_) {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
                Label1_MouseDown();
                return true;
            case QEvent::MouseMove:
                return true;  // movement over the headline is not watched
            default:
                break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::closeEvent(QCloseEvent* event) {
    // A close request from outside (a window manager's close button, or any program sending one)
    // is input like a key, so the password still comes first. The program's own close ends it.
    if (event->spontaneous() && !Hosted() && !ended_) {
        event->ignore();
        Form_KeyDown();
        return;
    }
    Form_Unload();
    event->accept();
}

void Form1::Form_KeyDown() {
    RequestStop();
}

void Form1::Form_MouseDown() {
    RequestStop();
}

void Form1::Label1_MouseDown() {
    RequestStop();
}

void Form1::Form_MouseMove(QPoint position) {
    // No tolerance: one pixel away from the resting place is enough.
    if (position.x() != CursorPos_.x() || position.y() != CursorPos_.y()) RequestStop();
}

// ---- the end of the show ----

void Form1::RequestStop() {
    // Input only asks; the show ends once the handler has returned, as after any other event.
    StopFlag_ = kTrue;
    QMetaObject::invokeMethod(this, &Form1::CheckStop, Qt::QueuedConnection);
}

void Form1::CheckStop() {
    // Input while the prompt asks is seen once it has answered.
    if (StopFlag_ == kTrue && !ended_ && !asking_) EndShow();
}

void Form1::EndShow() {
    StopFlag_ = kFalse;
    DropChange();
    deps_.services.cursor->ShowCursor(true);
    if (deps_.passwordFlag == 0) return Unload();
    // The prompt needs the keyboard while it asks; the show stands still meanwhile.
    if (desk_) desk_->LetKeyboardGo();
    asking_ = true;
    deps_.timer->Stop();
    deps_.services.password->AskScreenSavePwd(
        this, [this](std::int32_t verified) { PasswordAnswered(verified); });
}

void Form1::PasswordAnswered(std::int32_t verified) {
    asking_ = false;
    if (ended_) return;
    if ((verified & 0xFFFF) != 0) return Unload();
    // Refused: the show goes on from where it stood.
    deps_.services.cursor->ShowCursor(false);
    CursorPos_ = deps_.services.cursor->GetCursorPos();
    if (desk_) desk_->TakeInput();
    Tick();
    CheckStop();
}

void Form1::Unload() {
    close();        // runs Form_Unload
    Form_Unload();  // in case the window was never shown, close() does not reach it
}

void Form1::Form_Unload() {
    if (ended_) return;
    ended_ = true;
    deps_.timer->Stop();
    DropChange();
    // Told to stop, never waited for: a listing stuck on a dead share must not hold the end.
    pictures_.StopListing();
    desk_.reset();
    if (!Hosted()) deps_.services.cursor->ShowCursor(true);
    music_.Stop();
    emit showEnded();
}

void Form1::LoseWindow() {
    // Without its window the show would run on unseen, keeping every later start out.
    windowLost_ = true;
    close();
}

}  // namespace tavello
