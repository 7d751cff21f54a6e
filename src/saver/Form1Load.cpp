// Form1's loading procedure and the show's timing.

#include "platform/Cursor.h"
#include "platform/TickCount.h"
#include "saver/Form1.h"
#include "saver/PictureOrder.h"
#include "saver/ShowDesk.h"
#include "saver/ShowTimer.h"
#include "saver/ShowTiming.h"
#include "settings/Numbers.h"
#include "settings/SettingsFile.h"
#include "toolkit/AutoSizeLabel.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace tavello {

namespace {

// The longest single wait: the show looks at the tick count again at least this often, so a
// waiting timer that runs apart from the tick count (suspend, clock drift) cannot delay a change.
constexpr int kMaxWaitMs = 1000;

// While the change waits for the folders' listing: how long one wait lasts at most. The listing
// wakes the show when it is done; this is only the backstop.
constexpr int kListingWaitMs = 50;

}  // namespace

void Form1::Form_Load() {
    StopFlag_ = kFalse;
    ShowWindow();
    if (ended_) return;  // closed from outside while it came up
    const SaverSettings settings = ReadSettings();
    if (!Hosted()) {
        deps_.services.cursor->ShowCursor(false);
        CursorPos_ = deps_.services.cursor->GetCursorPos();
    }
    PrepareHeadline(settings);
    music_.Start(settings.MusicFile);
    if (!settings.Headline.isEmpty()) PutUpHeadline();
    WaitForNextChange();
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
    desk_ = std::make_unique<ShowDesk>(*this);
    TakeKeyboard();
}

SaverSettings Form1::ReadSettings() {
    const SaverSettings settings = LoadSettings(deps_.settingsPath);
    params_ = ShowParams::From(settings);
    QStringList entries = settings.Pictures;
    // With nothing of its own to show, a hack shows the host's picture folder.
    if (Hosted() && entries.isEmpty() && !deps_.hosted->imageFolder.isEmpty())
        entries = {FolderEntryFor(deps_.hosted->imageFolder)};
    playlist_.Load(entries, Hosted() ? deps_.hosted->firstPicture : std::int16_t{0});
    return settings;
}

void Form1::PrepareHeadline(const SaverSettings& settings) {
    Label1_->hide();
    Label1_->setCaption(settings.Headline);
    Label1_->setFontName(settings.HeadlineFont);
    Label1_->setFontSize(static_cast<float>(LeadingNumber(settings.HeadlineSize) * SizeScale()));
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

void Form1::Tick() {
    if (ended_ || asking_) return;
    // Started after the first turn of the event loop, so the headline is painted first.
    StartExpansion();
    TakeFinishedListing();
    if (retriesLeft_ > 0) return PassOverSome();
    const std::int32_t now = deps_.services.ticks->GetTickCount();
    if (!ShowTiming(params_.intervalMs).IsOver(LastTick_, now)) return WaitForNextChange();
    if (!PicturesListed()) {
        // The change is due but the folders are still being listed: it waits for the whole list,
        // so the order is the order of all the pictures, and input still ends the show.
        deps_.timer->WakeAfter(kListingWaitMs, [this] { Tick(); });
        return;
    }
    LastTick_ = now;
    ShowPic();
}

void Form1::WaitForNextChange() {
    const std::int32_t now = deps_.services.ticks->GetTickCount();
    const ShowTiming timing(params_.intervalMs);
    const int wait =
        timing.IsOver(LastTick_, now) ? 0 : timing.MillisecondsLeft(LastTick_, now, kMaxWaitMs);
    deps_.timer->WakeAfter(wait, [this] { Tick(); });
}

}  // namespace tavello
