// Music files as the sound service opens them, up to the point where sound would start: the
// file checks and the MIDI structure check (bare or in an RMI wrapper) that guards the
// synthesizer. No audio driver is available to the harness, so an open that passes the checks
// ends there instead of loading a soundfont for every input.
//
// Input: the first byte picks the file's extension, the rest is the file.

#include "FuzzSupport.h"

#include "music/MciCommand.h"
#include "music/SdlMci.h"

#include <QFile>
#include <array>
#include <cstdint>
#include <cstdlib>

using namespace tavello;

namespace {

const std::array<const char*, 5> kExtensions{".mid", ".rmi", ".midi", ".mp3", ".wav"};
constexpr std::size_t kFirstNonMidi = 3;

bool HasMidiHeader(const QByteArray& bytes) {
    return bytes.startsWith("MThd") || (bytes.startsWith("RIFF") && bytes.mid(8, 4) == "RMID");
}

std::uint32_t Send(SdlMci& mci, const QByteArray& command) {
    QByteArray reply;
    return mci.Send(ParseMciCommand(command), reply);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("SDL_AUDIODRIVER", "tavello-no-audio", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static SdlMci mci;
    const std::size_t kind = data[0] % kExtensions.size();
    const QByteArray bytes = fuzz::Bytes(data + 1, size - 1);
    const QString path =
        fuzz::WriteScratchFile(QStringLiteral("song") + QLatin1String(kExtensions[kind]), bytes);
    const QByteArray quoted = '"' + QFile::encodeName(path) + '"';
    const std::uint32_t result = Send(mci, "open " + quoted + " alias song");
    // Without audio nothing opens: a file that passes every check fails at the audio device.
    fuzz::Check(result != 0, "a music file opened without an audio device");
    if (kind < kFirstNonMidi && result == MCIERR_HARDWARE)
        fuzz::Check(HasMidiHeader(bytes), "a file without a MIDI header passed the MIDI check");
    return 0;
}
