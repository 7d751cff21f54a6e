#include "platform/linux/FlockMusicLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <cerrno>

namespace tavello {

namespace {

// Ours alone: owned by this user, and nobody else may write (or, for the folder, look) into it.
bool Private(const struct stat& info, mode_t kind, mode_t forbidden) {
    return (info.st_mode & S_IFMT) == kind && info.st_uid == getuid() &&
           (info.st_mode & forbidden) == 0;
}

}  // namespace

FlockMusicLock::~FlockMusicLock() {
    if (fd_ >= 0) close(fd_);
}

QString FlockMusicLock::DefaultFolder() {
    return QDir::tempPath() + QStringLiteral("/tavello-%1").arg(getuid());
}

int FlockMusicLock::OpenLockFile() const {
    const QByteArray folder = QFile::encodeName(folder_);
    if (mkdir(folder.constData(), 0700) != 0 && errno != EEXIST) return -1;
    const int dir = open(folder.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dir < 0) return -1;
    struct stat info {};
    int fd = -1;
    if (fstat(dir, &info) == 0 && Private(info, S_IFDIR, S_IRWXG | S_IRWXO)) {
        fd =
            openat(dir, "music.lock", O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
        if (fd >= 0 && (fstat(fd, &info) != 0 || !Private(info, S_IFREG, S_IWGRP | S_IWOTH))) {
            close(fd);
            fd = -1;
        }
    }
    close(dir);
    return fd;
}

bool FlockMusicLock::TryTake() {
    if (held_) return true;
    if (fd_ < 0) fd_ = OpenLockFile();
    if (fd_ < 0) return false;  // no private place for the lock: stay silent rather than share
    held_ = flock(fd_, LOCK_EX | LOCK_NB) == 0;
    return held_;
}

MusicLock& SystemMusicLock() {
    static FlockMusicLock lock(FlockMusicLock::DefaultFolder());
    return lock;
}

}  // namespace tavello
