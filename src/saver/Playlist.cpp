#include "saver/Playlist.h"

#include "settings/Numbers.h"

#include <algorithm>

namespace tavello {

void Playlist::Load(const QStringList& entries, std::int16_t firstPicture) {
    store_ = QStringList();
    store_.reserve(kPictureStoreSize);
    const qsizetype kept = std::min<qsizetype>(entries.size(), kPictureStoreSize);
    for (qsizetype i = 0; i < kept; ++i) store_.append(entries.at(i));
    while (store_.size() < kPictureStoreSize) store_.append(QString());
    count_ = static_cast<std::int16_t>(kept);
    usesFolders_ = HasFolderEntry(Entries());
    expanded_.reset();
    showIndex_ = 0;
    firstPicture_ = firstPicture;
    PicIndex_ = count_ > 0 ? static_cast<std::int16_t>(firstPicture % count_) : std::int16_t{0};
}

void Playlist::TakeListing(ShowList list) {
    expanded_ = std::move(list);
    showIndex_ =
        expanded_->size() > 0 ? static_cast<std::int32_t>(firstPicture_ % expanded_->size()) : 0;
}

std::optional<qsizetype> Playlist::ExpandedCount() const {
    if (!expanded_) return std::nullopt;
    return expanded_->size();
}

bool Playlist::Pick(OrderMode mode, RandomSource& random) {
    if (mode != OrderMode::Random) return true;
    if (expanded_) {
        if (expanded_->size() >= 2)
            showIndex_ =
                RandomIndex(showIndex_, static_cast<std::int32_t>(expanded_->size()), random);
        return true;
    }
    if (count_ < 2) return true;
    const std::optional<std::int16_t> picked =
        RoundHalfEven<std::int16_t>(RAN(PicIndex_, count_, random));
    if (!picked) return false;
    PicIndex_ = *picked;
    return true;
}

std::optional<QString> Playlist::Current() const {
    if (expanded_) {
        // Folders with no picture in them: the screen stays black, as with an empty path.
        if (expanded_->size() == 0) return QString();
        if (showIndex_ < 0 || showIndex_ >= expanded_->size()) return std::nullopt;
        return expanded_->path(showIndex_);
    }
    if (PicIndex_ < 0 || PicIndex_ >= kPictureStoreSize) return std::nullopt;
    return store_.at(PicIndex_);
}

void Playlist::Advance() {
    if (!expanded_) {
        PicIndex_ = NextInListOrder(PicIndex_, count_);
        return;
    }
    if (expanded_->size() > 0)
        showIndex_ = static_cast<std::int32_t>((showIndex_ + 1) % expanded_->size());
}

qsizetype Playlist::Retries(bool hosted) const {
    if (expanded_) return std::max<qsizetype>(expanded_->size() - 1, 0);
    return hosted ? std::max<qsizetype>(count_, 1) : 0;
}

bool Playlist::StepPastFailure(std::optional<OrderMode> mode, bool hosted) {
    // In a fixed order nothing else would ever be tried. In random order the next try draws
    // anew; in list order it moves past the failure.
    if (!mode || *mode == OrderMode::Fixed) return false;
    if (expanded_) {
        if (showIndex_ < 0 || showIndex_ >= expanded_->size()) return false;
        if (!hosted && !expanded_->foundInFolder(showIndex_)) return false;
        if (*mode == OrderMode::ListOrder) Advance();
        return true;
    }
    if (!hosted) return false;
    // Back to the start from beyond the list, too.
    if (*mode == OrderMode::ListOrder)
        PicIndex_ =
            PicIndex_ + 1 < count_ ? static_cast<std::int16_t>(PicIndex_ + 1) : std::int16_t{0};
    return true;
}

}  // namespace tavello
