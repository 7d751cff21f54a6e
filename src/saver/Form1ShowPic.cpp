// Form1's picture change: order, the picture asked for and put up when it comes, size, centre,
// the music's restart, and pictures that cannot be shown passed over. The picture is decoded away
// from the window's thread, so input is heard while it comes, and between the tries of a pass-over.

#include "fit/PictureFit.h"
#include "saver/Form1.h"
#include "settings/Numbers.h"
#include "toolkit/AutoSizeLabel.h"
#include "toolkit/ImageControl.h"

namespace tavello {

void Form1::ShowPic() {
    retriesLeft_.reset();
    TryPicture();
}

void Form1::TryPicture() {
    if (!params_.order || !pictures_.playlist().Pick(*params_.order, *deps_.random))
        return ChangeFailed();
    const std::optional<QString> toShow = pictures_.playlist().Current();
    if (!toShow) {
        ClearScreen();
        return ChangeFailed();
    }
    waiting_ = true;
    const ShowFit fit = Fit();
    pictures_.source().Request(*toShow, fit,
                               [this, asked = ++asked_, fit](std::optional<LoadedPicture> picture) {
                                   // An answer to a change dropped meanwhile is no answer.
                                   if (ended_ || !waiting_ || asked != asked_) return;
                                   waiting_ = false;
                                   PictureAnswered(std::move(picture), fit);
                               });
}

void Form1::PictureAnswered(std::optional<LoadedPicture> picture, const ShowFit& fit) {
    ClearScreen();
    if (!picture || !PutUp(*picture, fit)) return ChangeFailed();
    const bool listOrder = *params_.order == OrderMode::ListOrder;
    if (listOrder) pictures_.playlist().Advance();
    music_.RestartIfFinished();
    if (listOrder) PrefetchNextInListOrder();
    ChangeDone();
}

bool Form1::PutUp(const LoadedPicture& picture, const ShowFit& fit) {
    // The empty picture draws nothing; its size does not matter.
    std::optional<PicturePlacement> placement;
    if (!picture.empty) {
        placement = FitPicture(picture.ownSize.width(), picture.ownSize.height(), fit.picSize,
                               fit.screenW, fit.screenH, fit.scale);
        if (!placement) return false;
    }
    Image1_->setPicture(picture);
    Image1_->setStretch(true);
    if (placement) {
        Image1_->setHeight(placement->height);
        Image1_->setWidth(placement->width);
        Image1_->setTop(ScreenH() / 2 - Image1_->Height() / 2);
        Image1_->setLeft(ScreenW() / 2 - Image1_->Width() / 2);
    }
    Image1_->show();
    return true;
}

void Form1::ClearScreen() {
    Label1_->hide();
    Image1_->hide();
    Image1_->setStretch(false);
}

void Form1::ChangeFailed() {
    // Any failure on the way is a stop request, as if the user had touched the mouse, unless
    // another picture may stand in for it: one broken file among a folder's thousands does not
    // end the show, nor does anything in a host's. Each next try is asked for from the answer
    // to the last, so input still ends the show while a library of broken files is passed over.
    if (!retriesLeft_) retriesLeft_ = pictures_.playlist().Retries(Hosted());
    if (*retriesLeft_ > 0 && pictures_.playlist().StepPastFailure(params_.order, Hosted())) {
        --*retriesLeft_;
        return TryPicture();
    }
    // In a host's window it stays black, and the next change tries again.
    if (!Hosted()) StopFlag_ = kTrue;
    ChangeDone();
}

void Form1::ChangeDone() {
    retriesLeft_.reset();
    emit pictureChanged();
    if (ended_) return;
    if (StopFlag_ == kTrue) return EndShow();
    WaitForNextChange();
}

void Form1::DropChange() {
    // The change waiting for its picture is dropped, as if it had never started; the interval
    // still counts from its start.
    waiting_ = false;
    retriesLeft_.reset();
    pictures_.source().Cancel();
}

void Form1::PrefetchNextInListOrder() {
    const std::optional<QString> next = pictures_.playlist().Current();
    if (next && !next->isEmpty()) pictures_.source().Prefetch(*next, Fit());
}

ShowFit Form1::Fit() const {
    return ShowFit{params_.picSize, ScreenW(), ScreenH(), SizeScale()};
}

}  // namespace tavello
