#pragma once

#include "music/Mci.h"

#include <QByteArray>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>

namespace tavello {

// Carries out "open" on a worker thread, so the window that sends it goes on at once: opening a
// MIDI song loads a soundfont, which takes the better part of a second, and a song on a share
// that stopped answering may never open. Until the open is done, a "play" of that device is
// remembered and sent as soon as it is, and "status <device> mode" answers "playing" (or
// "stopped" when no play was asked for): the song is on its way, not over. A "stop" of it
// cancels that play and a "close" is left to the worker, which closes the song itself once it has
// opened, so the end of a show never waits for the open. Every other command waits for the open
// first, so the device underneath sees the commands one at a time, in the order they were sent.
// The open's reply (the device id) is not passed back. Destruction does not wait either; the
// device underneath must outlive an open still running.
class BackgroundOpenMci final : public MciService {
  public:
    explicit BackgroundOpenMci(MciService& inner);
    ~BackgroundOpenMci() override;
    BackgroundOpenMci(const BackgroundOpenMci&) = delete;
    BackgroundOpenMci& operator=(const BackgroundOpenMci&) = delete;

    std::uint32_t Send(const MciParseResult& sent, QByteArray& reply) override;

  private:
    // What the worker and the sender share; the worker keeps it alive for as long as it runs.
    struct Opening {
        std::mutex mutex;  // guards the fields below
        std::condition_variable finished;
        QByteArray alias;  // the lower-case alias being opened
        bool done = true;
        std::optional<MciParseResult> deferredPlay;   // a play sent meanwhile
        std::optional<MciParseResult> deferredClose;  // a close sent meanwhile
    };

    // Answers a command for the device being opened while the open runs; false to send it on.
    bool AnswerWhileOpening(const MciParseResult& sent, QByteArray& reply);
    void StartOpen(const MciParseResult& open, const QByteArray& alias);
    void WaitForOpen();

    MciService& inner_;
    std::shared_ptr<Opening> opening_;
};

}  // namespace tavello
