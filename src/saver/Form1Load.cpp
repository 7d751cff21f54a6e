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

#include <algorithm>
#include <cmath>

namespace tavello {

namespace {

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
    if (Hosted()) {
        // Whoever made the window placed it; the show fills it. Nothing is raised or grabbed.
        // The host keeps the pointer and hides it; an arrow of ours would stand over the pictures.
        setCursor(Qt::BlankCursor);
        resize(static_cast<int>(std::lround(ScreenW())), static_cast<int>(std::lround(ScreenH())));
        return show();
    }
    DeskRequest request;
    request.window = this;
    request.holdInput = deps_.passwordFlag != 0;
    request.guard = deps_.services.desk;
    request.events.keyDown = [this] { Form_KeyDown(); };
    request.events.mouseDown = [this] { Form_MouseDown(); };
    request.events.mouseMove = [this](QPoint position) { Form_MouseMove(position); };
    request.events.retaken = [this] {
        if (!ended_) desk_->TakeInput();
    };
    request.events.lost = [this] { LoseWindow(); };
    desk_ = deps_.desk(std::move(request));
    resize(static_cast<int>(std::lround(ScreenW())), static_cast<int>(std::lround(ScreenH())));
    desk_->PutUp();
}

SaverSettings Form1::ReadSettings() {
    const SaverSettings settings = LoadSettings(deps_.settingsPath);
    params_ = ShowParams::From(settings);
    clock_.SetInterval(params_.intervalMs);
    QStringList entries = settings.Pictures;
    // With nothing of its own to show, a hack shows the host's picture folder.
    if (Hosted() && entries.isEmpty() && !deps_.hosted->imageFolder.isEmpty())
        entries = {FolderEntryFor(deps_.hosted->imageFolder)};
    pictures_.playlist().Load(entries, Hosted() ? deps_.hosted->firstPicture : std::int16_t{0});
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
    clock_.Restart();
}

void Form1::Tick() {
    // A change waiting for its picture is finished by the answer, never started again.
    if (ended_ || asking_ || waiting_) return;
    // Started after the first turn of the event loop, so the headline is painted first.
    pictures_.StartListing([this] { Tick(); });
    pictures_.TakeFinishedListing();
    if (!clock_.Due()) return WaitForNextChange();
    if (!pictures_.Listed()) {
        // The change is due but the folders are still being listed: it waits for the whole list,
        // so the order is the order of all the pictures, and input still ends the show.
        deps_.timer->WakeAfter(kListingWaitMs, [this] { Tick(); });
        return;
    }
    clock_.Restart();
    ShowPic();
}

void Form1::WaitForNextChange() {
    deps_.timer->WakeAfter(clock_.WaitMs(), [this] { Tick(); });
}

}  // namespace tavello
