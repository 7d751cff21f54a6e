#include "music/BackgroundOpen.h"

#include "music/MciCommand.h"

#include <thread>

namespace tavello {

BackgroundOpenMci::BackgroundOpenMci(MciService& inner)
    : inner_(inner), opening_(std::make_shared<Opening>()) {}

BackgroundOpenMci::~BackgroundOpenMci() = default;

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
    Opening& o = *opening_;
    std::lock_guard lock(o.mutex);
    if (o.done || o.deferredClose) return false;  // once closed, anything else waits its turn
    const MciCommand& c = sent.command;
    if (sent.error || c.all || c.device.toLower() != o.alias) return false;
    switch (c.verb) {
        case MciVerb::Play:
            if (c.wait) return false;  // this needs the open song itself
            o.deferredPlay = sent;
            return true;
        case MciVerb::Status:
            if (c.item != MciStatusItem::Mode) return false;
            reply = o.deferredPlay ? "playing" : "stopped";
            return true;
        case MciVerb::Stop:
            o.deferredPlay.reset();  // stopped before it began: it never begins
            return true;
        case MciVerb::Close:
            o.deferredPlay.reset();
            o.deferredClose = sent;
            return true;
        default:
            return false;
    }
}

void BackgroundOpenMci::StartOpen(const MciParseResult& open, const QByteArray& alias) {
    {
        std::lock_guard lock(opening_->mutex);
        opening_->alias = alias;
        opening_->done = false;
        opening_->deferredPlay.reset();
        opening_->deferredClose.reset();
    }
    std::thread([&inner = inner_, o = opening_, open] {
        QByteArray ignored;
        inner.Send(open, ignored);
        std::lock_guard lock(o->mutex);
        // Played or closed from here, so a song whose window sends nothing for a while still
        // starts now, and one whose show is over is never heard.
        if (o->deferredClose)
            inner.Send(*o->deferredClose, ignored);
        else if (o->deferredPlay)
            inner.Send(*o->deferredPlay, ignored);
        o->deferredPlay.reset();
        o->deferredClose.reset();
        o->done = true;
        o->finished.notify_all();
    }).detach();
}

void BackgroundOpenMci::WaitForOpen() {
    std::unique_lock lock(opening_->mutex);
    opening_->finished.wait(lock, [this] { return opening_->done; });
}

}  // namespace tavello
