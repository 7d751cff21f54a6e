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

// The lock of this user, in a private folder of the temporary folder, whatever the environment
// says about runtime or configuration folders.
MusicLock& SystemMusicLock();

}  // namespace tavello
