#pragma once

#include "music/Mci.h"

namespace tavello {

class MusicLock;

// Music heard once however many show processes a user runs (a screen-saver host starts one per
// monitor): commands reach the device only in the process that holds the user's music lock. In
// the others every open first tries to take the lock; until one succeeds, their song is
// "stopped", so the show tries again at its next picture change and takes over the music when
// the process that played it has ended.
class SharedMusicMci final : public MciService {
  public:
    SharedMusicMci(MciService& inner, MusicLock& lock) : inner_(inner), lock_(lock) {}
    std::uint32_t Send(const MciParseResult& sent, QByteArray& reply) override;

  private:
    MciService& inner_;
    MusicLock& lock_;
    bool holder_ = false;
};

// No sound at all, for a settings preview: every command fails as on a machine without audio.
class SilentMci final : public MciService {
  public:
    std::uint32_t Send(const MciParseResult& sent, QByteArray& reply) override;
};

}  // namespace tavello
