#include "platform/OwnedFd.h"

#include <unistd.h>

namespace tavello {

void OwnedFd::reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
}

}  // namespace tavello
