#pragma once

#include "music/MciCommand.h"

#include <QByteArray>
#include <cstdint>

namespace tavello {

// The music device: one command in, read once by ParseMciCommand where it is written and handed
// down as read (a command that could not be read carries its error, which the device answers
// with); the reply text out, empty when there is none; 0 or a classic MCI error code back.
class MciService {
  public:
    virtual ~MciService() = default;
    virtual std::uint32_t Send(const MciParseResult& sent, QByteArray& reply) = 0;
};

MciService& SystemMci();

}  // namespace tavello
