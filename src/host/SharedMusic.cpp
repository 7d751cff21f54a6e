#include "host/SharedMusic.h"

#include "music/MciCommand.h"
#include "platform/MusicLock.h"

#include <cstring>

namespace tavello {

std::uint32_t SharedMusicMci::mciSendStringA(const QByteArray& command, char* reply,
                                             std::uint32_t replyLength, std::uintptr_t callback) {
    if (holder_) return inner_.mciSendStringA(command, reply, replyLength, callback);
    if (reply && replyLength > 0) reply[0] = '\0';
    const MciParseResult parsed = ParseMciCommand(command);
    if (parsed.error) return parsed.error;
    switch (parsed.command.verb) {
        case MciVerb::Open:
            holder_ = lock_.TryTake();
            return holder_ ? inner_.mciSendStringA(command, reply, replyLength, callback)
                           : MCIERR_DEVICE_OPEN;
        case MciVerb::Status:
            if (parsed.command.item != MciStatusItem::Mode) return MCIERR_INVALID_DEVICE_NAME;
            if (reply && replyLength > std::strlen("stopped"))
                std::strcpy(reply, "stopped");  // heard elsewhere, or not at all: not here
            return 0;
        default:
            return MCIERR_INVALID_DEVICE_NAME;  // nothing was opened here
    }
}

std::uint32_t SilentMci::mciSendStringA(const QByteArray&, char* reply, std::uint32_t replyLength,
                                        std::uintptr_t) {
    if (reply && replyLength > 0) reply[0] = '\0';
    return MCIERR_HARDWARE;
}

}  // namespace tavello
