#pragma once

#include "platform/Services.h"
#include "saver/ShowDesk.h"

#include <cstdint>
#include <memory>

namespace tavello {

// The running "/S" show with what it is made of.
class SaverRun {
  public:
    virtual ~SaverRun() = default;
    // The program's exit status once the show has ended: 1 when it lost its window for good.
    virtual int ExitStatus() const = 0;
};

// "/S": loads the saver window on the given desk and starts the show, which runs under the
// application's event loop; when it has ended and the window has been unloaded, the loop is told
// to quit.
std::unique_ptr<SaverRun> LoadSaverWindow(const Services& services, std::int16_t passwordFlag,
                                          DeskFactory desk);

}  // namespace tavello
