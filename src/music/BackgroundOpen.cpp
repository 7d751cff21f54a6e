#include "music/BackgroundOpen.h"

#include "music/MciCommand.h"

namespace tavello {

BackgroundOpenMci::~BackgroundOpenMci() {
    WaitForOpen();
}

std::uint32_t BackgroundOpenMci::Send(const MciParseResult& sent, QByteArray& reply) {
    reply.clear();
    if (AnswerWhileOpening(sent, reply)) return 0;
    WaitForOpen();
    const MciCommand& open = sent.command;
    if (!sent.error && open.verb == MciVerb::Open && !open.all) {
        StartOpen(sent, (open.alias.isNull() ? open.device : open.alias).toLower());
        return 0;
    }
    return inner_.Send(sent, reply);
}

bool BackgroundOpenMci::AnswerWhileOpening(const MciParseResult& sent, QByteArray& reply) {
    std::lock_guard lock(mutex_);
    if (openDone_) return false;
    const MciCommand& c = sent.command;
    if (sent.error || c.all || c.device.toLower() != opening_) return false;
    switch (c.verb) {
        case MciVerb::Play:
            if (c.wait) return false;  // this needs the open song itself
            deferredPlay_ = sent;
            return true;
        case MciVerb::Status:
            if (c.item != MciStatusItem::Mode) return false;
            reply = deferredPlay_ ? "playing" : "stopped";
            return true;
        case MciVerb::Stop:
        case MciVerb::Close:
            deferredPlay_.reset();  // stopped before it began: it never begins
            return false;
        default:
            return false;
    }
}

void BackgroundOpenMci::StartOpen(const MciParseResult& open, const QByteArray& alias) {
    {
        std::lock_guard lock(mutex_);
        opening_ = alias;
        openDone_ = false;
        deferredPlay_.reset();
    }
    worker_ = std::thread([this, open] {
        QByteArray ignored;
        inner_.Send(open, ignored);
        std::lock_guard lock(mutex_);
        // Played from here, so a song whose window sends nothing for a while still starts now.
        if (deferredPlay_) inner_.Send(*deferredPlay_, ignored);
        deferredPlay_.reset();
        openDone_ = true;
    });
}

void BackgroundOpenMci::WaitForOpen() {
    if (worker_.joinable()) worker_.join();
}

}  // namespace tavello
