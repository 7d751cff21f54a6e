#pragma once

#include "platform/SingleInstance.h"

#include <QString>

namespace tavello {

// An advisory lock on a file, held for the life of the object (the process, for the system's
// instance); the kernel drops it when the process ends, so a lock file left behind by a crash
// never blocks the next start.
class FlockInstance final : public InstanceService {
  public:
    explicit FlockInstance(QString lockPath) : lockPath_(std::move(lockPath)) {}
    ~FlockInstance() override;
    bool PrevInstance() override;

    // $XDG_RUNTIME_DIR (else the temp folder) / tavello-<uid>.lock
    static QString DefaultLockPath();

  private:
    QString lockPath_;
    bool checked_ = false;
    bool previous_ = false;
    int fd_ = -1;  // kept open on purpose: closing it would release the lock
};

}  // namespace tavello
