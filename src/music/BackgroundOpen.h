#pragma once

#include "music/Mci.h"

#include <QByteArray>
#include <mutex>
#include <optional>
#include <thread>

namespace tavello {

// Carries out "open" on a worker thread, so the window that sends it goes on at once: opening a
// MIDI song loads a soundfont, which takes the better part of a second. Until the open is done,
// a "play" of that device is remembered and sent as soon as it is, and "status <device> mode"
// answers "playing" (or "stopped" when no play was asked for): the song is on its way, not over.
// Every other command waits for the open first, so the device underneath sees the commands one
// at a time, in the order they were sent. The open's reply (the device id) is not passed back.
class BackgroundOpenMci final : public MciService {
  public:
    explicit BackgroundOpenMci(MciService& inner) : inner_(inner) {}
    ~BackgroundOpenMci() override;
    BackgroundOpenMci(const BackgroundOpenMci&) = delete;
    BackgroundOpenMci& operator=(const BackgroundOpenMci&) = delete;

    std::uint32_t Send(const MciParseResult& sent, QByteArray& reply) override;

  private:
    // Answers a command for the device being opened while the open runs; false to send it on.
    bool AnswerWhileOpening(const MciParseResult& sent, QByteArray& reply);
    void StartOpen(const MciParseResult& open, const QByteArray& alias);
    void WaitForOpen();

    MciService& inner_;
    std::thread worker_;
    std::mutex mutex_;    // guards the fields below against the worker
    QByteArray opening_;  // the lower-case alias being opened; empty when none
    bool openDone_ = true;
    std::optional<MciParseResult> deferredPlay_;  // a play sent meanwhile
};

}  // namespace tavello
