#include "saver/ShowPictures.h"

namespace tavello {

ShowPictures::ShowPictures(FolderScan scan, PictureSource& source)
    : scan_(scan ? std::move(scan)
                 : [](const QString& entry, const auto& found, const auto& cancelled,
                      FoldersSeen& seen) { VisitFolderEntry(entry, found, cancelled, &seen); }),
      source_(&source) {}

ShowPictures::~ShowPictures() {
    // An answer still to come would reach a show that is gone.
    source_->Cancel();
}

void ShowPictures::StartListing(std::function<void()> listed) {
    // Listed afresh at every show, so pictures added since the last one are in it.
    if (!playlist_.UsesFolders() || expansion_ || playlist_.Listed()) return;
    // The call comes only while the expansion, and so the show, is still there.
    expansion_ =
        std::make_unique<BackgroundExpansion>(playlist_.Entries(), scan_, std::move(listed));
}

bool ShowPictures::Listed() const {
    return playlist_.Listed() || (expansion_ && expansion_->done());
}

void ShowPictures::TakeFinishedListing() {
    if (!expansion_ || !expansion_->done()) return;
    playlist_.TakeListing(expansion_->take());
    expansion_.reset();
}

void ShowPictures::StopListing() {
    if (expansion_) expansion_->cancel();
}

}  // namespace tavello
