// Form1 with folder entries in its list: the pictures below them listed in the background once
// the show is up.

#include "saver/Form1.h"

namespace tavello {

bool Form1::PicturesListed() const {
    return playlist_.Listed() || (expansion_ && expansion_->done());
}

void Form1::StartExpansion() {
    // Listed afresh at every show, so pictures added since the last one are in it.
    if (!playlist_.UsesFolders() || expansion_ || playlist_.Listed() || ended_) return;
    FolderScan scan = deps_.scanFolder ? deps_.scanFolder : FolderScan(VisitFolderEntry);
    // The finished list wakes the show at once; the call comes only while the expansion, and so
    // the show, is still there.
    expansion_ = std::make_unique<BackgroundExpansion>(playlist_.Entries(), std::move(scan),
                                                       [this] { Tick(); });
}

void Form1::TakeFinishedListing() {
    if (!expansion_ || !expansion_->done()) return;
    playlist_.TakeListing(expansion_->take());
    expansion_.reset();
}

}  // namespace tavello
