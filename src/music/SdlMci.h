#pragma once

#include "music/Mci.h"
#include "music/MciCommand.h"

#include <QByteArray>
#include <QFile>
#include <map>
#include <memory>

typedef struct _Mix_Music Mix_Music;

namespace tavello {

// The MCI commands the show sends, carried out over SDL2_mixer: open/close/play/stop/status mode on
// named devices, WAV on "waveaudio", MIDI on "sequencer" (FluidSynth), MP3 on "mpegvideo".
// The audio device is opened by the first "open" and closed when this object goes away.
class SdlMci : public MciService {
  public:
    SdlMci();
    ~SdlMci() override;
    SdlMci(const SdlMci&) = delete;
    SdlMci& operator=(const SdlMci&) = delete;

    std::uint32_t Send(const MciParseResult& sent, QByteArray& reply) override;

  private:
    struct Device;
    using DevicePtr = std::unique_ptr<Device>;

    std::uint32_t Execute(const MciCommand& command, QByteArray& reply);
    std::uint32_t Open(const MciCommand& command, QByteArray& reply);
    std::uint32_t Close(Device& device);
    std::uint32_t Play(Device& device, const MciCommand& command);
    std::uint32_t Stop(Device& device);

    std::uint32_t StartAudio();
    void StopAudio();
    // Decodes `file`, the open file at `path`, on the decoder for its device and content.
    Mix_Music* Load(const QString& path, std::unique_ptr<QFile> file, MciDeviceType type, bool midi,
                    std::uint32_t& error);
    Mix_Music* TakeCached(const QByteArray& path, MciDeviceType type, const QByteArray& stamp);
    void FreeCached();
    Device* Find(const QByteArray& alias);
    QByteArray ModeOf(const Device& device) const;
    bool IsCurrent(const Device& device) const;

    // A closed MIDI song, kept because loading the soundfont for it takes seconds and the show
    // closes and reopens the same song each time it has played to its end.
    struct Cached {
        QByteArray path;
        QByteArray stamp;  // size and modification time: a changed file is loaded afresh
        Mix_Music* music = nullptr;
    };

    std::map<QByteArray, DevicePtr> devices_;  // by lower-case alias
    Cached cached_;
    Device* current_ = nullptr;  // the device whose music the mixer holds
    std::uint32_t nextId_ = 1;
    bool audioOpen_ = false;
};

}  // namespace tavello
