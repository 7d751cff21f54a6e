// Form1's picture change: order, load, size, centre, show, the music's restart, and pictures that
// cannot be shown passed over.

#include "fit/PictureFit.h"
#include "saver/Form1.h"
#include "saver/ShowTimer.h"
#include "settings/Numbers.h"
#include "toolkit/AutoSizeLabel.h"
#include "toolkit/ImageControl.h"

#include <algorithm>

namespace tavello {

namespace {

// Pictures tried in a row in place of one that failed, before input is heard again: a library of
// broken files takes a while to pass over, and a touch still ends the show meanwhile.
constexpr qsizetype kTriesBetweenEvents = 16;

// The size to decode at: the shown size, at least one pixel each way.
QSize DecodeSizeFor(const PicturePlacement& placement) {
    return QSize(std::max(placement.width, 1), std::max(placement.height, 1));
}

}  // namespace

void Form1::ShowPic() {
    // Any failure on the way is a stop request, as if the user had touched the mouse, unless
    // another picture may stand in for it: one broken file among a folder's thousands does not
    // end the show, nor does anything in a host's.
    if (ChangePicture()) return ChangeDone();
    retriesLeft_ = pictures_.playlist().Retries(Hosted());
    PassOverSome();
}

void Form1::PassOverSome() {
    for (qsizetype tries = 0; tries < kTriesBetweenEvents && retriesLeft_ > 0; ++tries) {
        --retriesLeft_;
        if (!pictures_.playlist().StepPastFailure(params_.order, Hosted())) {
            retriesLeft_ = 0;
            break;
        }
        if (ChangePicture()) {
            retriesLeft_ = 0;
            return ChangeDone();
        }
    }
    if (retriesLeft_ > 0) {
        deps_.timer->WakeAfter(0, [this] { Tick(); });
        return;
    }
    // In a host's window it stays black, and the next change tries again.
    if (!Hosted()) StopFlag_ = kTrue;
    ChangeDone();
}

void Form1::ChangeDone() {
    emit pictureChanged();
    if (ended_) return;
    if (StopFlag_ == kTrue) return EndShow();
    WaitForNextChange();
}

bool Form1::ChangePicture() {
    if (!params_.order || !pictures_.playlist().Pick(*params_.order, *deps_.random)) return false;

    Label1_->hide();
    Image1_->hide();
    Image1_->setStretch(false);

    const std::optional<QString> toShow = pictures_.playlist().Current();
    if (!toShow) return false;
    const QString& path = *toShow;
    // The shown size is worked out from the picture's header first, so that a large picture is
    // decoded straight at the size it will have on the screen.
    std::optional<PicturePlacement> placement;
    if (!path.isEmpty()) {
        placement = PlacePicture(path);
        if (!placement) return false;
    }
    const std::optional<LoadedPicture> picture =
        pictures_.Take(path, placement ? DecodeSizeFor(*placement) : QSize());
    if (!picture) return false;
    Image1_->setPicture(*picture);
    Image1_->setStretch(true);
    // The empty picture draws nothing; its size does not matter.
    if (placement && !picture->empty) {
        Image1_->setHeight(placement->height);
        Image1_->setWidth(placement->width);
        Image1_->setTop(ScreenH() / 2 - Image1_->Height() / 2);
        Image1_->setLeft(ScreenW() / 2 - Image1_->Width() / 2);
    }
    Image1_->show();

    const bool listOrder = *params_.order == OrderMode::ListOrder;
    if (listOrder) pictures_.playlist().Advance();
    music_.RestartIfFinished();
    if (listOrder) PrefetchNextInListOrder();
    return true;
}

std::optional<PicturePlacement> Form1::PlacePicture(const QString& path) const {
    const std::optional<QSize> own = ReadPictureSize(path);
    if (!own) return std::nullopt;
    return FitPicture(own->width(), own->height(), params_.picSize, ScreenW(), ScreenH(),
                      SizeScale());
}

void Form1::PrefetchNextInListOrder() {
    const std::optional<QString> next = pictures_.playlist().Current();
    if (!next || next->isEmpty()) return;
    if (const std::optional<PicturePlacement> placement = PlacePicture(*next))
        pictures_.Prefetch(*next, DecodeSizeFor(*placement));
}

}  // namespace tavello
