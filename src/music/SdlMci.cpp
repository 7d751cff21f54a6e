#include "music/SdlMci.h"

#include "music/FileRWops.h"
#include "music/MidiFile.h"
#include "platform/RegularFile.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdlib>
#include <vector>

namespace tavello {

namespace {

// The General-MIDI soundfonts Debian installs; the first one found is used. The synthesizer holds
// the whole soundfont in memory, so the 6 MB TimGM6mb comes before the 141 MB FluidR3_GM: with
// the large one a song alone would lift the show past 200 MB and delay its first notes.
const char* const kSoundFonts[] = {"/usr/share/sounds/sf2/TimGM6mb.sf2",
                                   "/usr/share/sounds/sf2/FluidR3_GM.sf2",
                                   "/usr/share/sounds/sf2/default-GM.sf2"};

// FluidSynth reads a whole MIDI file into memory; real songs are far below this.
constexpr qint64 kMaxMidiBytes = 16 * 1024 * 1024;

constexpr int kSampleRate = 44100;
constexpr int kChunkFrames = 2048;

bool HasExtension(const QByteArray& path) {
    const qsizetype slash = std::max(path.lastIndexOf('/'), path.lastIndexOf('\\'));
    return path.lastIndexOf('.') > slash;
}

void ChooseSoundFont() {
    if (std::getenv("SDL_SOUNDFONTS")) return;  // the user's own choice wins
    for (const char* path : kSoundFonts) {
        if (QFileInfo::exists(QString::fromLatin1(path))) {
            Mix_SetSoundFonts(path);
            return;
        }
    }
}

QByteArray StampOf(const QFileInfo& file) {
    return QByteArray::number(file.size()) + '@' +
           QByteArray::number(file.lastModified().toMSecsSinceEpoch());
}

// Looks at what a music file holds before any decoder does. Only a regular file with content is
// music: a FIFO, device or folder is refused without being waited on. MIDI content, whatever the
// file is called, must pass the structure check before the synthesizer sees it.
std::uint32_t CheckContent(QFile& file, MciDeviceType type, bool& midi) {
    if (file.size() == 0) return MCIERR_INVALID_FILE;
    midi = LooksLikeMidi(file.peek(kMidiSniffBytes));
    if (!midi && type != MciDeviceType::Sequencer) return 0;
    if (type == MciDeviceType::WaveAudio) return MCIERR_INVALID_FILE;
    if (file.size() > kMaxMidiBytes || !IsWellFormedMidi(file.read(file.size())))
        return MCIERR_INVALID_FILE;
    return file.seek(0) ? 0 : MCIERR_INVALID_FILE;
}

Mix_Music* LoadFrom(std::unique_ptr<QFile> file, Mix_MusicType type) {
    SDL_RWops* source = RWopsFromFile(std::move(file));
    return source ? Mix_LoadMUSType_RW(source, type, SDL_TRUE) : nullptr;
}

}  // namespace

struct SdlMci::Device {
    std::uint32_t id = 0;
    MciDeviceType type = MciDeviceType::None;
    QByteArray path;
    QByteArray stamp;
    Mix_Music* music = nullptr;
};

SdlMci::SdlMci() = default;

SdlMci::~SdlMci() {
    StopAudio();
}

std::uint32_t SdlMci::Send(const MciParseResult& sent, QByteArray& reply) {
    // No command here posts a notification: there is no window to post it to.
    reply.clear();
    return sent.error ? sent.error : Execute(sent.command, reply);
}

std::uint32_t SdlMci::Execute(const MciCommand& command, QByteArray& reply) {
    if (command.verb == MciVerb::Open) return Open(command, reply);
    if (command.all) {
        std::vector<Device*> all;
        for (auto& [alias, device] : devices_) all.push_back(device.get());
        for (Device* device : all) command.verb == MciVerb::Close ? Close(*device) : Stop(*device);
        return 0;
    }
    Device* device = Find(command.device);
    if (!device) return MCIERR_INVALID_DEVICE_NAME;
    switch (command.verb) {
        case MciVerb::Close:
            return Close(*device);
        case MciVerb::Play:
            return Play(*device, command);
        case MciVerb::Stop:
            return Stop(*device);
        case MciVerb::Status:
            reply = ModeOf(*device);  // mode is the one item there is
            return 0;
        case MciVerb::Open:
            break;
    }
    return MCIERR_UNRECOGNIZED_COMMAND;
}

std::uint32_t SdlMci::Open(const MciCommand& command, QByteArray& reply) {
    const QByteArray& element = command.device;
    const bool namedAlias = !command.alias.isNull();
    const QByteArray alias = namedAlias ? command.alias : element;
    if (Find(alias)) return namedAlias ? MCIERR_DUPLICATE_ALIAS : MCIERR_DEVICE_OPEN;

    const MciDeviceType type =
        command.type.isNull() ? DeviceTypeForFile(element) : DeviceTypeByName(command.type);
    if (type == MciDeviceType::None)
        return command.type.isNull() && HasExtension(element) ? MCIERR_EXTENSION_NOT_FOUND
                                                              : MCIERR_INVALID_DEVICE_NAME;

    const QString path = QFile::decodeName(element);
    const QFileInfo info(path);
    if (!info.exists()) return MCIERR_FILE_NOT_FOUND;
    std::unique_ptr<QFile> file = OpenRegularFile(path);
    if (!file) return MCIERR_INVALID_FILE;
    bool midi = false;
    if (const std::uint32_t error = CheckContent(*file, type, midi)) return error;

    if (const std::uint32_t error = StartAudio()) return error;
    const QByteArray stamp = StampOf(info);
    Mix_Music* music = TakeCached(element, type, stamp);
    if (!music) {
        std::uint32_t error = 0;
        if (!(music = Load(path, std::move(file), type, midi, error))) return error;
    }

    auto device = std::make_unique<Device>();
    device->id = nextId_++;
    device->type = type;
    device->path = element;
    device->stamp = stamp;
    device->music = music;
    reply = QByteArray::number(device->id);
    devices_[alias.toLower()] = std::move(device);
    return 0;
}

Mix_Music* SdlMci::TakeCached(const QByteArray& path, MciDeviceType type, const QByteArray& stamp) {
    if (type != MciDeviceType::Sequencer || cached_.path != path || cached_.stamp != stamp) {
        FreeCached();  // one soundfont in memory at a time
        return nullptr;
    }
    Mix_Music* music = cached_.music;
    cached_ = {};
    return music;
}

void SdlMci::FreeCached() {
    if (cached_.music) Mix_FreeMusic(cached_.music);
    cached_ = {};
}

Mix_Music* SdlMci::Load(const QString& path, std::unique_ptr<QFile> file, MciDeviceType type,
                        bool midi, std::uint32_t& error) {
    error = MCIERR_INVALID_FILE;
    const Mix_MusicType musicType = midi || type == MciDeviceType::Sequencer ? MUS_MID
                                    : type == MciDeviceType::WaveAudio       ? MUS_WAV
                                                                             : MUS_MP3;
    if (Mix_Music* music = LoadFrom(std::move(file), musicType)) return music;
    // The MPEG device also plays what it recognises by content, as the classic one does. MIDI
    // content went to the synthesizer above, checked; reopened, the file must still not be MIDI.
    if (type != MciDeviceType::MpegVideo || midi) return nullptr;
    std::unique_ptr<QFile> again = OpenRegularFile(path);
    if (!again || LooksLikeMidi(again->peek(kMidiSniffBytes))) return nullptr;
    return LoadFrom(std::move(again), MUS_NONE);
}

std::uint32_t SdlMci::Close(Device& device) {
    if (IsCurrent(device)) {
        Mix_HaltMusic();
        current_ = nullptr;
    }
    if (device.type == MciDeviceType::Sequencer) {
        FreeCached();
        cached_ = {device.path, device.stamp, device.music};
    } else {
        Mix_FreeMusic(device.music);
    }
    for (auto it = devices_.begin(); it != devices_.end(); ++it) {
        if (it->second.get() == &device) {
            devices_.erase(it);
            break;
        }
    }
    return 0;
}

std::uint32_t SdlMci::Play(Device& device, const MciCommand& command) {
    // A stopped song is held paused by the mixer, so play goes on where it stopped.
    const bool heldHere = IsCurrent(device) && Mix_PlayingMusic();
    if (!heldHere) {
        if (Mix_PlayMusic(device.music, 0) < 0) return MCIERR_HARDWARE;
        current_ = &device;
    }
    Mix_ResumeMusic();
    if (command.wait) {
        while (ModeOf(device) == "playing") SDL_Delay(10);
    }
    return 0;
}

std::uint32_t SdlMci::Stop(Device& device) {
    if (IsCurrent(device) && Mix_PlayingMusic()) Mix_PauseMusic();
    return 0;
}

QByteArray SdlMci::ModeOf(const Device& device) const {
    if (!IsCurrent(device) || !Mix_PlayingMusic() || Mix_PausedMusic()) return "stopped";
    return "playing";
}

bool SdlMci::IsCurrent(const Device& device) const {
    return current_ == &device;
}

SdlMci::Device* SdlMci::Find(const QByteArray& alias) {
    const auto it = devices_.find(alias.toLower());
    return it == devices_.end() ? nullptr : it->second.get();
}

std::uint32_t SdlMci::StartAudio() {
    if (audioOpen_) return 0;
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "TAVELLO");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) < 0) return MCIERR_HARDWARE;
    Mix_Init(MIX_INIT_MID | MIX_INIT_MP3);  // WAV needs no decoder library
    if (Mix_OpenAudio(kSampleRate, AUDIO_S16SYS, 2, kChunkFrames) < 0) {
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return MCIERR_HARDWARE;
    }
    ChooseSoundFont();
    audioOpen_ = true;
    return 0;
}

void SdlMci::StopAudio() {
    if (!audioOpen_) return;
    Mix_HaltMusic();
    current_ = nullptr;
    for (auto& [alias, device] : devices_) Mix_FreeMusic(device->music);
    devices_.clear();
    FreeCached();
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audioOpen_ = false;
}

MciService& SystemMci() {
    static SdlMci mci;
    return mci;
}

}  // namespace tavello
