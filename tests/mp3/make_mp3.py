#!/usr/bin/env python3
"""Encodes the MPEG audio suites' files with lame and twolame from generated tones:
make_mp3.py OUTPUT_DIR.

cbr_tagged.mp3  44.1 kHz stereo, 128 kbit/s, 88,323 samples of 1 kHz at half scale, ID3v2 tags
vbr_mono.mp3    22.05 kHz mono (MPEG 2), VBR, 33,152 samples of a sweep from 200 Hz rising 400 Hz a second
                at half scale, ID3v1 tag
unicode_tags.mp3  cbr_tagged.mp3's audio with ID3v2 tags in UTF-16: Cyrillic, Greek and Japanese texts
cbr_bare.mp3    44.1 kHz stereo, 128 kbit/s, 44,100 samples of 1 kHz, no tags and no Info frame
vbr_plain.mp3   44.1 kHz stereo, VBR, 132,300 samples of the sweep, no tags and no Xing frame
tone.mp2        48 kHz stereo (MPEG 1 layer 2), 192 kbit/s, 96,000 samples of 1 kHz at half scale
sweep_mono.mp2  24 kHz mono (MPEG 2 layer 2), 64 kbit/s, 36,000 samples of the sweep
mpeg25.mp3      8 kHz mono (MPEG 2.5 layer 3), 16 kbit/s, 16,000 samples of a 500 Hz tone
free.mp3        44.1 kHz stereo, free format at 400 kbit/s, 44,100 samples of 1 kHz
rate_change.mp3 cbr_bare.mp3 followed by half_rate.mp3 (22.05 kHz mono, MPEG 2, 64 kbit/s, 22,050 samples
                of 500 Hz, no tags): a stream that changes its rate and channels in the middle
<name>.mpg123.wav   each of them decoded by mpg123 -w, the reference decoder
"""
import math
import os
import struct
import subprocess
import sys
import wave


def tone(path, rate, channels, samples, frequency, sweep=0.0):
    with wave.open(path, "wb") as out:
        out.setnchannels(channels)
        out.setsampwidth(2)
        out.setframerate(rate)
        frames = bytearray()
        for i in range(samples):
            t = i / rate
            value = int(round(16384 * math.sin(2 * math.pi * (frequency * t + sweep / 2 * t * t))))
            frames += struct.pack("<h", value) * channels
        out.writeframes(bytes(frames))


def lame(source, target, *options):
    subprocess.run(["lame", "--quiet", *options, source, target], check=True)


def mpg123(source, target):
    subprocess.run(["mpg123", "-q", "-w", target, source], check=True)


def twolame(source, target, *options):
    subprocess.run(["twolame", "--quiet", *options, source, target], check=True)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    stereo = os.path.join(out, "tone_stereo.wav")
    tone(stereo, 44100, 2, 88323, 1000)
    lame(stereo, os.path.join(out, "cbr_tagged.mp3"), "-b", "128", "--id3v2-only", "--tt", "Tone", "--ta",
         "Maker", "--tl", "Generated", "--ty", "2024", "--tg", "Jazz", "--tc", "made here")
    # lame takes the texts in the locale's encoding and writes them in UTF-16.
    subprocess.run(["lame", "--quiet", "-b", "128", "--id3v2-only", "--id3v2-utf16", "--tt", "\u041f\u0435\u0441\u043d\u044f \u043e\u0434\u0438\u043d",
                    "--ta", "\u0391\u03c1\u03c4\u03af\u03c3\u03c4\u03b1\u03c2", "--tl", "\u30a2\u30eb\u30d0\u30e0\u540d", "--tc", "\u30b3\u30e1\u30f3\u30c8",
                    "--ty", "2021", "--tg", "\u041f\u043e\u043f", stereo, os.path.join(out, "unicode_tags.mp3")],
                   check=True, env=dict(os.environ, LC_ALL="C.UTF-8"))
    mono = os.path.join(out, "tone_mono.wav")
    tone(mono, 22050, 1, 33152, 200, sweep=400)
    lame(mono, os.path.join(out, "vbr_mono.mp3"), "-V", "4", "--id3v1-only", "--tt", "Mono tone", "--tg", "Rock")
    bare = os.path.join(out, "tone_bare.wav")
    tone(bare, 44100, 2, 44100, 1000)
    lame(bare, os.path.join(out, "cbr_bare.mp3"), "-b", "128", "-t")
    sweep = os.path.join(out, "sweep_stereo.wav")
    tone(sweep, 44100, 2, 132300, 200, sweep=400)
    lame(sweep, os.path.join(out, "vbr_plain.mp3"), "-V", "4", "-t")
    tone48 = os.path.join(out, "tone_48k.wav")
    tone(tone48, 48000, 2, 96000, 1000)
    twolame(tone48, os.path.join(out, "tone.mp2"), "-b", "192")
    sweep24 = os.path.join(out, "sweep_24k.wav")
    tone(sweep24, 24000, 1, 36000, 200, sweep=400)
    twolame(sweep24, os.path.join(out, "sweep_mono.mp2"), "-b", "64", "-m", "m")
    low = os.path.join(out, "tone_8k.wav")
    tone(low, 8000, 1, 16000, 500)
    lame(low, os.path.join(out, "mpeg25.mp3"), "-b", "16")
    lame(bare, os.path.join(out, "free.mp3"), "--freeformat", "-b", "400")
    half = os.path.join(out, "tone_22k.wav")
    tone(half, 22050, 1, 22050, 500)
    lame(half, os.path.join(out, "half_rate.mp3"), "-b", "64", "-t")
    with open(os.path.join(out, "rate_change.mp3"), "wb") as joined:
        for name in ("cbr_bare.mp3", "half_rate.mp3"):
            with open(os.path.join(out, name), "rb") as part:
                joined.write(part.read())
    # A second decoder's renders, for the suites to compare theirs with.
    for name in ("cbr_tagged.mp3", "vbr_mono.mp3", "cbr_bare.mp3", "vbr_plain.mp3", "tone.mp2", "sweep_mono.mp2",
                 "mpeg25.mp3", "free.mp3", "half_rate.mp3"):
        mpg123(os.path.join(out, name), os.path.join(out, os.path.splitext(name)[0] + ".mpg123.wav"))
    for name in ("tone_stereo.wav", "tone_mono.wav", "tone_bare.wav", "sweep_stereo.wav", "tone_48k.wav",
                 "sweep_24k.wav", "tone_8k.wav", "tone_22k.wav"):
        os.remove(os.path.join(out, name))
    open(os.path.join(out, "stamp"), "w").close()


if __name__ == "__main__":
    main()
