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
    if (Hosted())
        SkipFailedPicture();
    else
        StopFlag_ = kTrue;
}

bool Form1::ChangePicture() {
    const std::optional<OrderMode> mode = ReadOrderMode(settings_.RandomOrder);
    if (!mode) return false;
    if (*mode == OrderMode::Random && pictureCount_ >= 2) {
        const std::optional<std::int16_t> picked = RoundHalfEven<std::int16_t>(RAN(PicIndex_));
        if (!picked) return false;
        PicIndex_ = *picked;
    }

    Label1_->hide();
    Image1_->hide();
    Image1_->setStretch(false);

    if (PicIndex_ < 0 || PicIndex_ >= kPictureStoreSize) return false;
    const QString path = pictureStore_.at(PicIndex_);
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

    if (*mode == OrderMode::ListOrder) PicIndex_ = NextInListOrder(PicIndex_, pictureCount_);
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

void Form1::PrefetchNextInListOrder() {
    if (PicIndex_ < 0 || PicIndex_ >= kPictureStoreSize) return;
    const QString& next = pictureStore_.at(PicIndex_);
    if (next.isEmpty()) return;
    if (const std::optional<PicturePlacement> placement = PlacePicture(next))
        prefetcher_.request(next, DecodeSizeFor(*placement));
}

void Form1::RestartFinishedMusic() {
    if (music_.MusicStatus().startsWith(QStringLiteral("stopped"))) {
        music_.StopMusic();
        music_.PlayMusic(settings_.MusicFile);
    }
}

}  // namespace tavello
