#include "MusicFixtures.h"

#include <QDeadlineTimer>
#include <QTest>
#include <QtEndian>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace tavello::test {
namespace {

constexpr int kRate = 44100;
constexpr int kFrameBytes = 4;

void AppendLe32(QByteArray& out, quint32 v) {
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

void AppendLe16(QByteArray& out, quint16 v) {
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void AppendBe32(QByteArray& out, quint32 v) {
    char b[4];
    qToBigEndian(v, b);
    out.append(b, 4);
}

}  // namespace

QByteArray MusicPcm(int milliseconds) {
    const int frames = kRate * milliseconds / 1000;
    QByteArray pcm;
    pcm.reserve(frames * kFrameBytes);
    quint32 seed = 12345;
    for (int i = 0; i < frames; ++i) {
        seed = seed * 1103515245u + 12345u;
        const double noise = static_cast<int>((seed >> 16) & 0x7FFF) / 32768.0 - 0.5;
        const double tone = std::sin(2 * M_PI * 440.0 * i / kRate);
        const auto left = static_cast<qint16>(std::lround(8000 * tone + 4000 * noise));
        const auto right = static_cast<qint16>(std::lround(6000 * tone - 3000 * noise));
        AppendLe16(pcm, static_cast<quint16>(left));
        AppendLe16(pcm, static_cast<quint16>(right));
    }
    return pcm;
}

QByteArray MusicWav(int milliseconds) {
    const QByteArray pcm = MusicPcm(milliseconds);
    QByteArray wav("RIFF");
    AppendLe32(wav, static_cast<quint32>(36 + pcm.size()));
    wav.append("WAVEfmt ");
    AppendLe32(wav, 16);
    AppendLe16(wav, 1);  // PCM
    AppendLe16(wav, 2);  // stereo
    AppendLe32(wav, kRate);
    AppendLe32(wav, kRate * kFrameBytes);
    AppendLe16(wav, kFrameBytes);
    AppendLe16(wav, 16);
    wav.append("data");
    AppendLe32(wav, static_cast<quint32>(pcm.size()));
    return wav + pcm;
}

namespace {

QByteArray MidiFile(const QByteArray& track) {
    QByteArray midi("MThd");
    AppendBe32(midi, 6);
    midi.append("\x00\x00\x00\x01\x01\xE0", 6);  // format 0, one track, 480 ticks a beat
    midi.append("MTrk");
    AppendBe32(midi, static_cast<quint32>(track.size()));
    return midi + track;
}

// A note-on at once, its note-off `ticks` later.
void AppendNote(QByteArray& track, unsigned char note, unsigned char velocity, const char* ticks) {
    track.append('\x00');
    track.append(static_cast<char>(0x90));
    track.append(static_cast<char>(note));
    track.append(static_cast<char>(velocity));
    track.append(ticks);
    track.append(static_cast<char>(0x80));
    track.append(static_cast<char>(note));
    track.append('\x00');
}

}  // namespace

QByteArray MusicMidi() {
    // 480 ticks a beat at the default 120 beats a minute: 240 ticks ("\x81\x70") are 0.25 s.
    QByteArray track("\x00\xC0\x00", 3);  // piano
    for (unsigned char note : {60, 64, 67, 72}) AppendNote(track, note, 100, "\x81\x70");
    track.append("\x00\xFF\x2F\x00", 4);
    return MidiFile(track);
}

QByteArray OneNoteMidi() {
    QByteArray track("\x00\xC0\x00", 3);
    AppendNote(track, 72, 127, "\x81\x70");
    track.append("\x8B\x20\xFF\x2F\x00", 5);  // 1440 ticks of rest, then the end
    return MidiFile(track);
}

QByteArray PcmStretch(const QByteArray& pcm, int firstFrame, int frames) {
    return pcm.mid(firstFrame * kFrameBytes, frames * kFrameBytes);
}

int CountFrameAligned(const QByteArray& haystack, const QByteArray& needle) {
    int count = 0;
    for (qsizetype at = haystack.indexOf(needle); at >= 0; at = haystack.indexOf(needle, at + 1))
        if (at % kFrameBytes == 0) ++count;
    return count;
}

int CountOnsets(const QByteArray& pcm) {
    constexpr int kStepBytes = kRate / 100 * kFrameBytes;
    int onsets = 0;
    bool quiet = true;
    for (qsizetype at = 0; at < pcm.size(); at += kStepBytes) {
        const int peak = PeakLevel(pcm.mid(at, kStepBytes));
        if (quiet && peak > 4000) {
            ++onsets;
            quiet = false;
        } else if (!quiet && peak < 300) {
            quiet = true;
        }
    }
    return onsets;
}

int PeakLevel(const QByteArray& pcm) {
    int peak = 0;
    for (qsizetype i = 0; i + 1 < pcm.size(); i += 2) {
        const auto sample = qFromLittleEndian<qint16>(pcm.constData() + i);
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    }
    return peak;
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QTest::qWait(10);
    }
    return true;
}

QString SampleMusicFolder() {
    return QStringLiteral(TAVELLO_SAMPLE_MUSIC_DIR);
}

}  // namespace tavello::test
