#pragma once

#include "platform/MusicLock.h"

namespace tavello {

// An advisory lock on "music.lock" in a folder that only this user can write. The folder is made
// (mode 0700) when missing; a folder or lock file that is a symbolic link, belongs to another
// user or is open to others is refused, so another local user can neither take our lock nor
// point us at a file of theirs. The kernel drops the lock when the process ends.
class FlockMusicLock final : public MusicLock {
  public:
    explicit FlockMusicLock(QString folder) : folder_(std::move(folder)) {}
    ~FlockMusicLock() override;
    FlockMusicLock(const FlockMusicLock&) = delete;
    FlockMusicLock& operator=(const FlockMusicLock&) = delete;

    bool TryTake() override;

    // <temporary folder>/tavello-<uid>
    static QString DefaultFolder();

  private:
    int OpenLockFile() const;

    QString folder_;
    int fd_ = -1;  // kept open while held: closing it would release the lock
    bool held_ = false;
};

}  // namespace tavello
