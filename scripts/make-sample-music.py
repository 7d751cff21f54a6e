#!/usr/bin/env python3
"""Makes the sample music of the project: a short melody as WAV, MIDI and MP3.

Usage: scripts/make-sample-music.py [output folder]   (default: samples/music)

The WAV is synthesised here (soft bell tones), the MIDI file is written byte by byte, and the MP3
is the WAV encoded with the `lame` encoder (Debian package "lame"). Output is deterministic.
"""

import math
import os
import shutil
import struct
import subprocess
import sys
import wave

RATE = 22050
# (MIDI note, beats); one beat is a quarter note at 120 beats per minute.
MELODY = [(72, 0.5), (76, 0.5), (79, 0.5), (84, 1.0), (79, 0.5), (81, 0.5), (76, 1.5)]
CHORDS = [([48, 55, 64], 2.0), ([53, 57, 65], 1.0), ([48, 55, 64], 2.0)]
SECONDS_PER_BEAT = 0.5


def frequency(note):
    return 440.0 * 2.0 ** ((note - 69) / 12.0)


def bell(samples, start, note, seconds, level):
    """Adds one soft bell tone: a quick attack, an exponential fade, a touch of octave."""
    f = frequency(note)
    count = int((seconds + 0.4) * RATE)
    for i in range(count):
        at = start + i
        if at >= len(samples):
            break
        t = i / RATE
        envelope = min(1.0, t / 0.01) * math.exp(-3.0 * t / max(seconds, 0.25))
        tone = math.sin(2 * math.pi * f * t) + 0.25 * math.sin(4 * math.pi * f * t)
        samples[at] += level * envelope * tone


def melody_samples():
    total_beats = sum(beats for _, beats in MELODY)
    samples = [0.0] * int((total_beats * SECONDS_PER_BEAT + 0.6) * RATE)
    at = 0.0
    for note, beats in MELODY:
        bell(samples, int(at * RATE), note, beats * SECONDS_PER_BEAT, 0.35)
        at += beats * SECONDS_PER_BEAT
    at = 0.0
    for notes, beats in CHORDS:
        for note in notes:
            bell(samples, int(at * RATE), note, beats * SECONDS_PER_BEAT, 0.08)
        at += beats * SECONDS_PER_BEAT
    fade = int(0.3 * RATE)
    for i in range(fade):
        samples[-1 - i] *= i / fade
    return samples


def write_wav(path):
    samples = melody_samples()
    peak = max(1e-9, max(abs(s) for s in samples))
    scale = 0.8 * 32767 / peak
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(b"".join(struct.pack("<h", int(round(s * scale))) for s in samples))


def variable_length(value):
    """A MIDI variable-length quantity: 7 bits a byte, high bit set on all but the last."""
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.insert(0, 0x80 | (value & 0x7F))
        value >>= 7
    return bytes(out)


def midi_bytes():
    ticks_per_beat = 480
    events = []  # (tick, order, bytes): note-offs sort before note-ons at the same tick
    tick = 0
    for note, beats in MELODY:
        length = int(beats * ticks_per_beat)
        events.append((tick, 1, bytes([0x90, note, 96])))
        events.append((tick + length, 0, bytes([0x80, note, 0])))
        tick += length
    tick = 0
    for notes, beats in CHORDS:
        length = int(beats * ticks_per_beat)
        for note in notes:
            events.append((tick, 1, bytes([0x91, note, 56])))
            events.append((tick + length, 0, bytes([0x81, note, 0])))
        tick += length
    events.sort(key=lambda e: (e[0], e[1]))

    track = bytearray()
    track += b"\x00\xff\x51\x03" + (500000).to_bytes(3, "big")  # 120 beats per minute
    track += b"\x00\xc0\x0b"  # channel 1: vibraphone
    track += b"\x00\xc1\x59"  # channel 2: warm pad
    last = 0
    for at, _, data in events:
        track += variable_length(at - last) + data
        last = at
    track += variable_length(ticks_per_beat // 2) + b"\xff\x2f\x00"  # end of track

    header = b"MThd" + struct.pack(">IHHH", 6, 0, 1, ticks_per_beat)
    return header + b"MTrk" + struct.pack(">I", len(track)) + bytes(track)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "samples", "music")
    os.makedirs(folder, exist_ok=True)
    wav = os.path.join(folder, "sample.wav")
    write_wav(wav)
    with open(os.path.join(folder, "sample.mid"), "wb") as out:
        out.write(midi_bytes())
    if not shutil.which("lame"):
        sys.exit("make-sample-music: the 'lame' encoder is missing (apt-get install lame)")
    subprocess.run(["lame", "--quiet", "-m", "m", "-b", "64", "--noreplaygain", wav,
                    os.path.join(folder, "sample.mp3")], check=True)


if __name__ == "__main__":
    main()
