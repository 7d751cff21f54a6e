#include "platform/linux/FlockMusicLock.h"

#include <sys/file.h>
#include <unistd.h>

namespace tavello {

FlockMusicLock::~FlockMusicLock() {
    if (fd_ >= 0) close(fd_);
}

bool FlockMusicLock::TryTake() {
    if (held_) return true;
    for (auto folder = folders_.begin(); fd_ < 0 && folder != folders_.end(); ++folder)
        fd_ = OpenPrivateLockFile(*folder, QStringLiteral("music.lock"));
    if (fd_ < 0) return false;  // no private place for the lock: stay silent rather than share
    held_ = flock(fd_, LOCK_EX | LOCK_NB) == 0;
    return held_;
}

// Where the instance lock is kept too, whatever $TMPDIR says.
MusicLock& SystemMusicLock() {
    static FlockMusicLock lock(UserLockFolders());
    return lock;
}

}  // namespace tavello
