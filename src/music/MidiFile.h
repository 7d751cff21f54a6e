#pragma once

// The shape of a standard MIDI file, checked before any synthesizer is given the bytes: a
// synthesizer trusts the chunk lengths it reads, so a broken file must never reach it.

#include <QByteArray>

namespace tavello {

// How many bytes LooksLikeMidi needs to see.
inline constexpr qsizetype kMidiSniffBytes = 12;

// True when the bytes begin as MIDI does, whatever the file is called: "MThd", or the
// "RIFF....RMID" wrapper of .rmi files.
bool LooksLikeMidi(const QByteArray& head);

// The chunk structure of a standard MIDI file (bare, or inside the RMI wrapper): a header chunk,
// then chunks that all fit in the file, at least one of them a track.
bool IsWellFormedMidi(const QByteArray& data);

}  // namespace tavello
