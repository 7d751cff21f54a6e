#pragma once

#include "saver/PictureOrder.h"
#include "saver/ShowList.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace tavello {

// Which picture comes next, and what may be tried when it cannot be shown, for the pictures named
// in the list and the pictures its folder entries stand for alike. Named pictures are kept as
// they always were, in a store of kPictureStoreSize entries with a 16-bit count and index; once
// folder entries are listed, the show draws from that list instead.
class Playlist {
  public:
    // The settings' picture list (entries past the store's size are dropped). A host's show
    // starts list order at firstPicture (its monitor's number).
    void Load(const QStringList& entries, std::int16_t firstPicture = 0);

    // Whether folder entries must be listed first, and the entries to list.
    bool UsesFolders() const { return usesFolders_; }
    QStringList Entries() const { return store_.mid(0, count_); }
    // Whether the show can draw: nothing to list, or the listing is in.
    bool Listed() const { return !usesFolders_ || expanded_.has_value(); }
    void TakeListing(ShowList list);

    // The picture change's steps: the random draw (false when it cannot be stored), the picture
    // now due (nullopt: there is none, and the change fails; "" draws nothing) and the step to the
    // next one in list order.
    bool Pick(OrderMode mode, RandomSource& random);
    std::optional<QString> Current() const;
    void Advance();

    // After a failed change: how many other pictures may be tried in its place, and the step to
    // the next one to try (false: this failure may not be passed over). A picture found in a
    // folder is passed over; a named one only in a host's show, where a show that stops would
    // look crashed.
    qsizetype Retries(bool hosted) const;
    bool StepPastFailure(std::optional<OrderMode> mode, bool hosted);

    std::int16_t PicIndex() const { return PicIndex_; }
    std::int16_t Count() const { return count_; }
    std::int32_t ShowIndex() const { return showIndex_; }
    std::optional<qsizetype> ExpandedCount() const;

  private:
    QStringList store_;  // always kPictureStoreSize entries, unused ones empty
    std::int16_t count_ = 0;
    std::int16_t PicIndex_ = 0;
    std::int16_t firstPicture_ = 0;
    bool usesFolders_ = false;
    std::optional<ShowList> expanded_;
    std::int32_t showIndex_ = 0;
};

}  // namespace tavello
