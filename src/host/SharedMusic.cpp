#include "host/SharedMusic.h"

#include "music/MciCommand.h"
#include "platform/MusicLock.h"

namespace tavello {

std::uint32_t SharedMusicMci::Send(const MciParseResult& sent, QByteArray& reply) {
    if (holder_) return inner_.Send(sent, reply);
    reply.clear();
    if (sent.error) return sent.error;
    switch (sent.command.verb) {
        case MciVerb::Open:
            holder_ = lock_.TryTake();
            return holder_ ? inner_.Send(sent, reply) : MCIERR_DEVICE_OPEN;
        case MciVerb::Status:
            if (sent.command.item != MciStatusItem::Mode) return MCIERR_INVALID_DEVICE_NAME;
            reply = "stopped";  // heard elsewhere, or not at all: not here
            return 0;
        default:
            return MCIERR_INVALID_DEVICE_NAME;  // nothing was opened here
    }
}

std::uint32_t SilentMci::Send(const MciParseResult&, QByteArray& reply) {
    reply.clear();
    return MCIERR_HARDWARE;
}

}  // namespace tavello
