#pragma once

#include "saver/Playlist.h"
#include "saver/ShowList.h"
#include "toolkit/PictureSource.h"

#include <functional>
#include <memory>
#include <optional>

namespace tavello {

// What the show draws from: its playlist, the listing of its folder entries behind it, and the
// source that decodes its pictures away from its thread. Nothing here is waited for when the show
// ends: a listing or a decode still running is told to stop and left to it.
class ShowPictures {
  public:
    // scan lists a folder entry's pictures; empty: the real scan, in this process. source decodes
    // the pictures, and outlives this.
    ShowPictures(FolderScan scan, PictureSource& source);
    ~ShowPictures();

    Playlist& playlist() { return playlist_; }
    const Playlist& playlist() const { return playlist_; }

    // Lists the folder entries in the background, once per show; listed runs on the GUI thread
    // when the listing is in.
    void StartListing(std::function<void()> listed);
    // Whether the show can draw: nothing to list, or the listing is in.
    bool Listed() const;
    // Whether a listing is under way and not in yet.
    bool Listing() const { return expansion_ && !expansion_->done(); }
    // Puts a finished listing into the playlist.
    void TakeFinishedListing();
    void StopListing();

    PictureSource& source() { return *source_; }

  private:
    FolderScan scan_;
    Playlist playlist_;
    std::unique_ptr<BackgroundExpansion> expansion_;
    PictureSource* source_;
};

}  // namespace tavello
