// Form1's loading procedure and the show loop.

#include "platform/Cursor.h"
#include "platform/TickCount.h"
#include "saver/Form1.h"
#include "saver/PictureOrder.h"
#include "saver/ShowTiming.h"
#include "saver/ShowWaiter.h"
#include "settings/Numbers.h"
#include "settings/SettingsFile.h"
#include "toolkit/AutoSizeLabel.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace tavello {

namespace {

// The longest single wait: the loop looks at the tick count again at least this often, so a
// waiting timer that runs apart from the tick count (suspend, clock drift) cannot delay a change.
constexpr int kMaxWaitMs = 1000;

// While the change waits for the folders' listing: how long one wait lasts at most. The listing
// wakes the loop when it is done; this is only the backstop.
constexpr int kListingWaitMs = 50;

}  // namespace

void Form1::Form_Load() {
    StopFlag_ = kFalse;
    ShowWindow();
    if (ended_) return;  // closed from outside while it came up
    ReadSettings();
    if (!Hosted()) {
        deps_.services.cursor->ShowCursor(false);
        CursorPos_ = deps_.services.cursor->GetCursorPos();
    }
    PrepareHeadline();
    music_.PlayMusic(settings_.MusicFile);
    if (!settings_.Headline.isEmpty()) PutUpHeadline();
    RunShowLoop();
}

void Form1::ShowWindow() {
    if (Hosted()) return ShowInHost();
    // The geometry is given before showing, so the window covers the screen also where no window
    // manager would make it full-screen.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QPoint origin = screen ? screen->geometry().topLeft() : QPoint(0, 0);
    const QSize size(static_cast<int>(std::lround(ScreenW())),
                     static_cast<int>(std::lround(ScreenH())));
    setGeometry(QRect(origin, size));
    if (screen && screen->geometry().size() == size)
        showFullScreen();
    else
        show();
    CoverDesk();
    TakeKeyboard();
    // Paint the black window now, but leave input for the show loop: the cursor's resting place
    // is not recorded yet.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void Form1::ReadSettings() {
    pictureCount_ = 0;
    settings_ = LoadSettings(deps_.settingsPath);
    pictureStore_ = QStringList();
    pictureStore_.reserve(kPictureStoreSize);
    const qsizetype kept = std::min<qsizetype>(settings_.Pictures.size(), kPictureStoreSize);
    for (qsizetype i = 0; i < kept; ++i) pictureStore_.append(settings_.Pictures.at(i));
    while (pictureStore_.size() < kPictureStoreSize) pictureStore_.append(QString());
    pictureCount_ = static_cast<std::int16_t>(kept);
    // With nothing of its own to show, a hack shows the host's picture folder.
    if (Hosted() && pictureCount_ == 0 && !deps_.hosted->imageFolder.isEmpty()) {
        pictureStore_[0] = FolderEntryFor(deps_.hosted->imageFolder);
        pictureCount_ = 1;
    }
    usesFolders_ = HasFolderEntry(pictureStore_.mid(0, pictureCount_));
    if (Hosted() && pictureCount_ > 0) PicIndex_ = deps_.hosted->firstPicture % pictureCount_;
}

void Form1::PrepareHeadline() {
    Label1_->hide();
    Label1_->setCaption(settings_.Headline);
    Label1_->setFontName(settings_.HeadlineFont);
    Label1_->setFontSize(static_cast<float>(LeadingNumber(settings_.HeadlineSize) * SizeScale()));
}

void Form1::PutUpHeadline() {
    double top = ScreenH() / 2 - static_cast<double>(Label1_->height()) / 2;
    double left = ScreenW() / 2 - static_cast<double>(Label1_->width()) / 2;
    int height = Label1_->height();
    int width = Label1_->width();
    // Too tall or too wide for the screen: the label spans it and its text is cut at the edges.
    if (top < 0) {
        top = 0;
        height = static_cast<int>(std::lround(ScreenH()));
    }
    if (left < 0) {
        left = 0;
        width = static_cast<int>(std::lround(ScreenW()));
    }
    Label1_->setGeometry(static_cast<int>(std::lround(left)), static_cast<int>(std::lround(top)),
                         width, height);
    Label1_->show();
    LastTick_ = deps_.services.ticks->GetTickCount();
}

void Form1::RunShowLoop() {
    TickSource& ticks = *deps_.services.ticks;
    while (!ended_) {
        const ShowTiming timing(LeadingNumber(settings_.Speed) * 1000);
        const std::int32_t now = ticks.GetTickCount();
        if (!timing.IsOver(LastTick_, now)) {
            deps_.waiter->WaitForEventsOr(timing.MillisecondsLeft(LastTick_, now, kMaxWaitMs));
        } else if (!PicturesReady()) {
            // The change is due but the folders are still being listed: it waits for the whole
            // list, so the order is the order of all the pictures, and input still ends the show.
            deps_.waiter->WaitForEventsOr(kListingWaitMs);
        } else {
            LastTick_ = ticks.GetTickCount();
            ShowPic();
            deps_.waiter->DoEvents();
        }
        // Started after the first turn of the event loop, so the headline is painted first.
        StartExpansion();
        if (StopFlag_ == kTrue && !ended_) EndShow();
    }
}

}  // namespace tavello
