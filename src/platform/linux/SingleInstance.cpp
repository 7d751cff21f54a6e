#include "platform/SingleInstance.h"

#include <QDir>
#include <QStandardPaths>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace tavello {
namespace {

QString LockPath() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const QString folder = (runtime && *runtime) ? QString::fromLocal8Bit(runtime) : QDir::tempPath();
    return folder + QStringLiteral("/tavello-%1.lock").arg(getuid());
}

// An advisory lock held for the life of the process; the kernel drops it when the process ends,
// so a lock file left behind by a crash never blocks the next start.
class FlockInstance final : public InstanceService {
public:
    bool PrevInstance() override {
        if (checked_) return previous_;
        checked_ = true;
        const QByteArray path = LockPath().toLocal8Bit();
        fd_ = open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        // Without a lock file we cannot tell; let this instance run rather than refuse forever.
        if (fd_ < 0) return previous_ = false;
        previous_ = flock(fd_, LOCK_EX | LOCK_NB) != 0;
        return previous_;
    }

private:
    bool checked_ = false;
    bool previous_ = false;
    int fd_ = -1;  // kept open on purpose: closing it would release the lock
};

}  // namespace

InstanceService& SystemInstance() {
    static FlockInstance instance;
    return instance;
}

}  // namespace tavello
