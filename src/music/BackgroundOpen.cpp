#include "music/BackgroundOpen.h"

#include "music/MciCommand.h"

#include <algorithm>
#include <cstring>

namespace tavello {

namespace {

void WriteReply(const QByteArray& text, char* reply, std::uint32_t replyLength) {
    if (!reply || replyLength == 0) return;
    const std::size_t length = std::min<std::size_t>(text.size(), replyLength - 1);
    std::memcpy(reply, text.constData(), length);
    reply[length] = '\0';
}

}  // namespace

BackgroundOpenMci::~BackgroundOpenMci() {
    WaitForOpen();
}

std::uint32_t BackgroundOpenMci::mciSendStringA(const QByteArray& command, char* reply,
                                                std::uint32_t replyLength,
                                                std::uintptr_t callback) {
    if (reply && replyLength > 0) reply[0] = '\0';
    if (AnswerWhileOpening(command, reply, replyLength)) return 0;
    WaitForOpen();
    const MciParseResult parsed = ParseMciCommand(command);
    if (!parsed.error && parsed.command.verb == MciVerb::Open && !parsed.command.all) {
        const MciCommand& open = parsed.command;
        StartOpen(command, (open.alias.isNull() ? open.device : open.alias).toLower());
        return 0;
    }
    return inner_.mciSendStringA(command, reply, replyLength, callback);
}

bool BackgroundOpenMci::AnswerWhileOpening(const QByteArray& command, char* reply,
                                           std::uint32_t replyLength) {
    std::lock_guard lock(mutex_);
    if (openDone_) return false;
    const MciParseResult parsed = ParseMciCommand(command);
    const MciCommand& c = parsed.command;
    if (parsed.error || c.all || c.device.toLower() != opening_) return false;
    switch (c.verb) {
        case MciVerb::Play:
            if (c.from || c.wait) return false;  // these need the open song itself
            deferredPlay_ = command;
            return true;
        case MciVerb::Status:
            if (c.item != MciStatusItem::Mode) return false;
            WriteReply(deferredPlay_.isEmpty() ? "stopped" : "playing", reply, replyLength);
            return true;
        case MciVerb::Stop:
        case MciVerb::Close:
            deferredPlay_.clear();  // stopped before it began: it never begins
            return false;
        default:
            return false;
    }
}

void BackgroundOpenMci::StartOpen(const QByteArray& command, const QByteArray& alias) {
    {
        std::lock_guard lock(mutex_);
        opening_ = alias;
        openDone_ = false;
        deferredPlay_.clear();
    }
    worker_ = std::thread([this, command] {
        char ignored[256];
        inner_.mciSendStringA(command, ignored, sizeof ignored, 0);
        std::lock_guard lock(mutex_);
        // Played from here, so a song whose window sends nothing for a while still starts now.
        if (!deferredPlay_.isEmpty())
            inner_.mciSendStringA(deferredPlay_, ignored, sizeof ignored, 0);
        deferredPlay_.clear();
        openDone_ = true;
    });
}

void BackgroundOpenMci::WaitForOpen() {
    if (worker_.joinable()) worker_.join();
}

}  // namespace tavello
