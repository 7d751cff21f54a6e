#pragma once

// Music made by the tests themselves, and the means to listen to what SDL played.

#include <QByteArray>
#include <QString>
#include <functional>

namespace tavello::test {

// 44.1 kHz 16-bit stereo PCM: a tone with deterministic noise on it, so any 1024-frame stretch
// occurs only once in the whole sound and can be found again in what the mixer played.
QByteArray MusicPcm(int milliseconds);
// That PCM as a WAV file.
QByteArray MusicWav(int milliseconds);
// A format-0 MIDI file: four piano notes, about one second.
QByteArray MusicMidi();
// One loud note, then a second and a half of rest before the end.
QByteArray OneNoteMidi();

// The bytes of PCM `pcm` from frame `firstFrame`, `frames` frames long.
QByteArray PcmStretch(const QByteArray& pcm, int firstFrame, int frames);
// How often `needle` occurs in `haystack` at frame boundaries (4-byte steps).
int CountFrameAligned(const QByteArray& haystack, const QByteArray& needle);
// The largest absolute 16-bit sample.
int PeakLevel(const QByteArray& pcm);
// How many times the sound rises from near silence to a loud level (10 ms steps).
int CountOnsets(const QByteArray& pcm);

// Calls `done` until it returns true, processing events in between; false after the timeout.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs);

// The project's shipped sample music folder.
QString SampleMusicFolder();

}  // namespace tavello::test
