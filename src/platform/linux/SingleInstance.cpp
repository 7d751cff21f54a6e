#include "platform/linux/FlockInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <QDir>
#include <cstdlib>

namespace tavello {

QString FlockInstance::DefaultLockPath() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const QString folder =
        (runtime && *runtime) ? QString::fromLocal8Bit(runtime) : QDir::tempPath();
    return folder + QStringLiteral("/tavello-%1.lock").arg(getuid());
}

FlockInstance::~FlockInstance() {
    if (fd_ >= 0) close(fd_);
}

bool FlockInstance::PrevInstance() {
    if (checked_) return previous_;
    checked_ = true;
    const QByteArray path = lockPath_.toLocal8Bit();
    fd_ = open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    // Without a lock file we cannot tell; let this instance run rather than refuse forever.
    if (fd_ < 0) return previous_ = false;
    previous_ = flock(fd_, LOCK_EX | LOCK_NB) != 0;
    return previous_;
}

InstanceService& SystemInstance() {
    static FlockInstance instance(FlockInstance::DefaultLockPath());
    return instance;
}

}  // namespace tavello
