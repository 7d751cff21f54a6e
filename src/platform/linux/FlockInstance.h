#pragma once

#include "platform/SingleInstance.h"
#include "platform/linux/PrivateLockFile.h"

#include <QString>
#include <vector>

namespace tavello {

// An advisory lock on a file, held for the life of the object (the process, for the system's
// instance); the kernel drops it when the process ends, so a lock file left behind by a crash
// never blocks the next start.
class FlockInstance final : public InstanceService {
  public:
    // Locks fileName in the first of folders that is safe to use (see OpenPrivateLockFile).
    FlockInstance(std::vector<LockFolder> folders, QString fileName);
    // Locks the file at lockPath, whose folder must be safe as above.
    explicit FlockInstance(const QString& lockPath);
    ~FlockInstance() override;
    FlockInstance(const FlockInstance&) = delete;
    FlockInstance& operator=(const FlockInstance&) = delete;

    // True only when another holder really has the lock; a place where no lock can be taken
    // lets this instance run rather than refuse it forever.
    bool PrevInstance() override;
    // The file locked (or found locked by another holder); "" when no folder was usable.
    const QString& lockPath() const { return lockPath_; }

  private:
    enum class Outcome { Locked, HeldElsewhere, Unusable };
    Outcome tryFolder(const LockFolder& folder);

    std::vector<LockFolder> folders_;
    QString fileName_;
    QString lockPath_;
    bool checked_ = false;
    bool previous_ = false;
    int fd_ = -1;  // kept open on purpose: closing it would release the lock
};

}  // namespace tavello
