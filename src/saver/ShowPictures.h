#pragma once

#include "saver/Playlist.h"
#include "saver/ShowList.h"
#include "toolkit/Picture.h"

#include <QSize>
#include <functional>
#include <memory>
#include <optional>

namespace tavello {

// What the show draws from: its playlist, the listing of its folder entries behind it, and the
// next picture in list order decoded ahead at the size it will be shown. Nothing here is waited
// for when the show ends: a listing or a decode still running is told to stop and left to it.
class ShowPictures {
  public:
    // scan lists a folder entry's pictures; empty: the real scan.
    explicit ShowPictures(FolderScan scan);
    ~ShowPictures();

    Playlist& playlist() { return playlist_; }
    const Playlist& playlist() const { return playlist_; }

    // Lists the folder entries in the background, once per show; listed runs on the GUI thread
    // when the listing is in.
    void StartListing(std::function<void()> listed);
    // Whether the show can draw: nothing to list, or the listing is in.
    bool Listed() const;
    // Puts a finished listing into the playlist.
    void TakeFinishedListing();
    void StopListing();

    std::optional<LoadedPicture> Take(const QString& path, QSize size) {
        return prefetcher_.take(path, size);
    }
    void Prefetch(const QString& path, QSize size) { prefetcher_.request(path, size); }

  private:
    FolderScan scan_;
    Playlist playlist_;
    std::unique_ptr<BackgroundExpansion> expansion_;
    PicturePrefetcher prefetcher_;
};

}  // namespace tavello
