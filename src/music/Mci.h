#pragma once

#include <QByteArray>
#include <cstdint>

namespace tavello {

// The multimedia command-string interface: one command in, a NUL-terminated reply out
// (never past replyLength bytes), 0 or a classic MCI error code back.
class MciService {
  public:
    virtual ~MciService() = default;
    virtual std::uint32_t mciSendStringA(const QByteArray& command, char* reply,
                                         std::uint32_t replyLength, std::uintptr_t callback) = 0;
};

MciService& SystemMci();

}  // namespace tavello
