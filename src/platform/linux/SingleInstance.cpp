#include "platform/linux/FlockInstance.h"

#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <cerrno>

namespace tavello {

FlockInstance::FlockInstance(std::vector<LockFolder> folders, QString fileName)
    : folders_(std::move(folders)), fileName_(std::move(fileName)) {}

FlockInstance::FlockInstance(const QString& lockPath)
    : FlockInstance({LockFolder{QFileInfo(lockPath).path()}}, QFileInfo(lockPath).fileName()) {}

FlockInstance::~FlockInstance() {
    if (fd_ >= 0) ::close(fd_);
}

FlockInstance::Outcome FlockInstance::tryFolder(const LockFolder& folder) {
    const int fd = OpenPrivateLockFile(folder, fileName_);
    if (fd < 0) return Outcome::Unusable;
    lockPath_ = QDir(folder.path).filePath(fileName_);
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        fd_ = fd;
        return Outcome::Locked;
    }
    const bool held = errno == EWOULDBLOCK;
    ::close(fd);
    if (!held) lockPath_.clear();
    return held ? Outcome::HeldElsewhere : Outcome::Unusable;
}

bool FlockInstance::PrevInstance() {
    if (checked_) return previous_;
    checked_ = true;
    for (const LockFolder& folder : folders_) {
        const Outcome outcome = tryFolder(folder);
        if (outcome != Outcome::Unusable) {
            previous_ = outcome == Outcome::HeldElsewhere;
            break;
        }
    }
    return previous_;
}

InstanceService& SystemInstance() {
    static FlockInstance instance(UserLockFolders(), QStringLiteral("tavello.lock"));
    return instance;
}

InstanceService& IdleWatcherInstance() {
    static FlockInstance instance(UserLockFolders(), QStringLiteral("tavello-idle.lock"));
    return instance;
}

}  // namespace tavello
