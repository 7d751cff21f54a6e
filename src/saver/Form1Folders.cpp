// Form1 with folder entries in its list: the pictures below them listed in the background once
// the show is up, and pictures found there that cannot be shown passed over.

#include "saver/Form1.h"
#include "saver/PictureOrder.h"
#include "settings/Numbers.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace tavello {

namespace {

// Pictures tried between two looks at input while passing over ones that cannot be shown.
constexpr qsizetype kTriesBetweenEvents = 16;

void ScanWithTheFileManagersRules(const QString& entry,
                                  const std::function<void(const QString&)>& found,
                                  const ScanCancelled& cancelled) {
    VisitFolderEntry(entry, found, cancelled);
}

}  // namespace

std::optional<qsizetype> Form1::ExpandedCount() const {
    if (!expanded_) return std::nullopt;
    return expanded_->size();
}

bool Form1::PicturesListed() const {
    return !usesFolders_ || expanded_ || (expansion_ && expansion_->done());
}

void Form1::StartExpansion() {
    // Listed afresh at every show, so pictures added since the last one are in it.
    if (!usesFolders_ || expansion_ || expanded_ || ended_) return;
    FolderScan scan =
        deps_.scanFolder ? deps_.scanFolder : FolderScan(ScanWithTheFileManagersRules);
    // The finished list wakes the show loop from its wait at once.
    auto wake = [] {
        if (QCoreApplication* app = QCoreApplication::instance())
            QMetaObject::invokeMethod(
                app, [] {}, Qt::QueuedConnection);
    };
    expansion_ = std::make_unique<BackgroundExpansion>(pictureStore_.mid(0, pictureCount_),
                                                       std::move(scan), std::move(wake));
}

bool Form1::PicturesReady() {
    if (!usesFolders_ || expanded_) return true;
    if (!expansion_ || !expansion_->done()) return false;
    expanded_ = expansion_->take();
    expansion_.reset();
    if (Hosted() && expanded_->size() > 0)
        showIndex_ = static_cast<std::int32_t>(deps_.hosted->firstPicture % expanded_->size());
    return true;
}

void Form1::StopExpansion() {
    // Cancelled and waited for: the scan stops at its next check, before the next folder.
    expansion_.reset();
}

bool Form1::PassOverUnshowable() {
    // The next picture is tried until one shows, at most once round the list; a file named in
    // the list itself keeps the rule that a failed change ends the show (a host's show passes
    // over every kind).
    const std::optional<OrderMode> mode = ReadOrderMode(settings_.RandomOrder);
    if (!mode || *mode == OrderMode::Fixed) return false;
    for (qsizetype tries = 1; tries < expanded_->size(); ++tries) {
        // A round over a large library of broken files takes a while: input still ends it.
        if (tries % kTriesBetweenEvents == 0) {
            QCoreApplication::processEvents();
            if (StopFlag_ == kTrue || ended_) return false;
        }
        if (showIndex_ < 0 || showIndex_ >= expanded_->size()) return false;
        if (!Hosted() && !expanded_->foundInFolder(showIndex_)) return false;
        if (*mode == OrderMode::ListOrder) AdvanceInListOrder();
        if (ChangePicture()) return true;
    }
    return false;
}

}  // namespace tavello
