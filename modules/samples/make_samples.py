#!/usr/bin/env python3
"""Writes the demo's sample playlist: short generated WAVE files (44.1 kHz, 16-bit stereo) with
LIST/INFO titles, and samples.m3u naming them. Usage: make_samples.py OUTPUT_DIR"""
import math
import os
import struct
import sys

RATE = 44100


def info_chunk(title, artist):
    items = b""
    for key, text in ((b"INAM", title), (b"IART", artist)):
        data = text.encode("ascii") + b"\0"
        if len(data) % 2:
            data += b"\0"
        items += key + struct.pack("<I", len(data)) + data
    body = b"INFO" + items
    return b"LIST" + struct.pack("<I", len(body)) + body


def write_wave(path, title, frames):
    data = b"".join(struct.pack("<hh", left, right) for left, right in frames)
    fmt = struct.pack("<HHIIHH", 1, 2, RATE, RATE * 4, 4, 16)
    chunks = (b"fmt " + struct.pack("<I", len(fmt)) + fmt + info_chunk(title, "TunaraXChat samples") +
              b"data" + struct.pack("<I", len(data)) + data)
    with open(path, "wb") as out:
        out.write(b"RIFF" + struct.pack("<I", 4 + len(chunks)) + b"WAVE" + chunks)


def envelope(i, count):
    fade = RATE // 50
    return min(1.0, i / fade, (count - 1 - i) / fade)


def tones(seconds, frequencies, moving=False):
    """A steady sum of sines; moving: it travels from the left channel to the right one."""
    count = int(RATE * seconds)
    for i in range(count):
        t = i / RATE
        value = sum(math.sin(2 * math.pi * f * t) for f in frequencies) / len(frequencies)
        value *= 0.5 * envelope(i, count)
        right = i / count if moving else 0.5
        yield int(value * 32767 * 2 * (1 - right)), int(value * 32767 * 2 * right)


def sweep(seconds, low, high):
    count = int(RATE * seconds)
    phase = 0.0
    for i in range(count):
        frequency = low * (high / low) ** (i / count)
        phase += 2 * math.pi * frequency / RATE
        value = int(0.4 * math.sin(phase) * envelope(i, count) * 32767)
        yield value, value


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    tracks = [
        ("tone_a440.wav", "Tone A 440 Hz", tones(2.0, [440.0])),
        ("chord_c_major.wav", "Chord C major", tones(2.5, [261.63, 329.63, 392.0])),
        ("sweep_200_2000.wav", "Sweep 200 to 2000 Hz", sweep(3.0, 200.0, 2000.0)),
        ("fifth_left_right.wav", "Fifth, left to right", tones(2.0, [293.66, 440.0], moving=True)),
    ]
    lines = ["#EXTM3U"]
    for name, title, frames in tracks:
        write_wave(os.path.join(out, name), title, frames)
        lines.append(name)
    with open(os.path.join(out, "samples.m3u"), "w", newline="\r\n") as m3u:
        m3u.write("\n".join(lines) + "\n")


main()
