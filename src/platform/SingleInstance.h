#pragma once

namespace tavello {

// Whether another instance of the program is already running for this user. The first call
// takes the instance lock, which the kernel releases when the process ends.
class InstanceService {
  public:
    virtual ~InstanceService() = default;
    virtual bool PrevInstance() = 0;
};

InstanceService& SystemInstance();
// The same for the idle watcher (--idle), which runs beside the shows it starts.
InstanceService& IdleWatcherInstance();

}  // namespace tavello
