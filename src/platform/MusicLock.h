#pragma once

#include <QString>

namespace tavello {

// One music player per user: the show processes a screen-saver host runs for one user (one per
// monitor) share one song instead of playing several copies out of step.
class MusicLock {
  public:
    virtual ~MusicLock() = default;
    // Takes the lock when no other process of this user holds it. True once this process holds
    // it; it is kept until the process ends.
    virtual bool TryTake() = 0;
};

// The lock of this user, in the first private folder of the user's lock folders: the runtime
// folder, /tmp/tavello-<uid>, then ~/.cache/tavello.
MusicLock& SystemMusicLock();

}  // namespace tavello
