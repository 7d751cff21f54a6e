#pragma once

#include "platform/MusicLock.h"
#include "platform/linux/PrivateLockFile.h"

#include <vector>

namespace tavello {

// An advisory lock on "music.lock" in the first of its folders that only this user can reach
// (see OpenPrivateLockFile), so another local user can neither take our lock nor point us at a
// file of theirs. The kernel drops the lock when the process ends.
class FlockMusicLock final : public MusicLock {
  public:
    explicit FlockMusicLock(std::vector<LockFolder> folders) : folders_(std::move(folders)) {}
    // The lock in folder alone, which is made (mode 0700) when missing.
    explicit FlockMusicLock(const QString& folder) : FlockMusicLock({LockFolder{folder, true}}) {}
    ~FlockMusicLock() override;
    FlockMusicLock(const FlockMusicLock&) = delete;
    FlockMusicLock& operator=(const FlockMusicLock&) = delete;

    bool TryTake() override;

  private:
    std::vector<LockFolder> folders_;
    int fd_ = -1;  // kept open while held: closing it would release the lock
    bool held_ = false;
};

}  // namespace tavello
