#pragma once

#include "host/HackOptions.h"
#include "platform/Services.h"

#include <memory>

namespace tavello {

// The show of a screen-saver host's hack with what it is made of.
class HostedRun {
  public:
    virtual ~HostedRun() = default;
};

// Starts the show as a screen-saver host's hack, as the options say; it runs under the
// application's event loop until the host ends it, and then tells the loop to quit. The
// application object and the services are made by start-up before. Null, said in one line, when
// the host's window does not exist.
std::unique_ptr<HostedRun> StartHostedShow(const HackOptions& options, const Services& services);

}  // namespace tavello
