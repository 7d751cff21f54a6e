// Form1's picture change: order, load, size, centre, show, and the music's restart.

#include "saver/Form1.h"
#include "saver/PictureFit.h"
#include "saver/PictureOrder.h"
#include "settings/Numbers.h"
#include "toolkit/AutoSizeLabel.h"
#include "toolkit/ImageControl.h"

#include <algorithm>

namespace tavello {

namespace {

// The size to decode at: the shown size, at least one pixel each way.
QSize DecodeSizeFor(const PicturePlacement& placement) {
    return QSize(std::max(placement.width, 1), std::max(placement.height, 1));
}

}  // namespace

void Form1::ShowPic() {
    // Any failure on the way is a stop request, as if the user had touched the mouse.
    if (ChangePicture()) return;
    // One broken file among a folder's thousands does not end the show.
    if (expanded_) {
        if (!PassOverUnshowable() && !Hosted()) StopFlag_ = kTrue;
        return;
    }
    if (Hosted())
        SkipFailedPicture();
    else
        StopFlag_ = kTrue;
}

bool Form1::ChangePicture() {
    const std::optional<OrderMode> mode = ReadOrderMode(settings_.RandomOrder);
    if (!mode || !PickNext(*mode)) return false;

    Label1_->hide();
    Image1_->hide();
    Image1_->setStretch(false);

    const std::optional<QString> toShow = PathToShow();
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
        prefetcher_.take(path, placement ? DecodeSizeFor(*placement) : QSize());
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

    if (*mode == OrderMode::ListOrder) AdvanceInListOrder();
    RestartFinishedMusic();
    if (*mode == OrderMode::ListOrder) PrefetchNextInListOrder();
    return true;
}

std::optional<PicturePlacement> Form1::PlacePicture(const QString& path) const {
    const std::optional<QSize> own = ReadPictureSize(path);
    if (!own) return std::nullopt;
    return FitPicture(own->width(), own->height(), settings_.PicSize, ScreenW(), ScreenH(),
                      SizeScale());
}

bool Form1::PickNext(OrderMode mode) {
    if (mode != OrderMode::Random) return true;
    if (expanded_) {
        if (expanded_->size() >= 2)
            showIndex_ = RandomIndex(showIndex_, static_cast<std::int32_t>(expanded_->size()),
                                     *deps_.random);
        return true;
    }
    if (pictureCount_ < 2) return true;
    const std::optional<std::int16_t> picked = RoundHalfEven<std::int16_t>(RAN(PicIndex_));
    if (!picked) return false;
    PicIndex_ = *picked;
    return true;
}

std::optional<QString> Form1::PathToShow() const {
    if (expanded_) {
        // Folders with no picture in them: the screen stays black, as with an empty path.
        if (expanded_->size() == 0) return QString();
        if (showIndex_ < 0 || showIndex_ >= expanded_->size()) return std::nullopt;
        return expanded_->path(showIndex_);
    }
    if (PicIndex_ < 0 || PicIndex_ >= kPictureStoreSize) return std::nullopt;
    return pictureStore_.at(PicIndex_);
}

void Form1::AdvanceInListOrder() {
    if (!expanded_) {
        PicIndex_ = NextInListOrder(PicIndex_, pictureCount_);
        return;
    }
    if (expanded_->size() > 0)
        showIndex_ = static_cast<std::int32_t>((showIndex_ + 1) % expanded_->size());
}

void Form1::PrefetchNextInListOrder() {
    const std::optional<QString> next = PathToShow();
    if (!next || next->isEmpty()) return;
    if (const std::optional<PicturePlacement> placement = PlacePicture(*next))
        prefetcher_.request(*next, DecodeSizeFor(*placement));
}

void Form1::RestartFinishedMusic() {
    if (music_.MusicStatus().startsWith(QStringLiteral("stopped"))) {
        music_.StopMusic();
        music_.PlayMusic(settings_.MusicFile);
    }
}

}  // namespace tavello
