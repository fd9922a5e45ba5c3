#!/usr/bin/env python3
"""Encodes the FLAC, Ogg Vorbis and Opus suites' files from generated signals with flac, oggenc and
opusenc, and decodes each with its reference decoder: make_ogg.py OUTPUT_DIR.

flac16.flac     44.1 kHz stereo, 16 bits, 88,323 samples of 1 kHz at half scale; every tag, a DATE
                with month and day
flac24.flac     96 kHz stereo, 24 bits, 72,000 samples of 1 kHz at half scale with every value of the
                low byte (halves included) and a run at full scale; a title alone
unicode_tags.flac  flac8.flac's audio with Japanese, Cyrillic and Greek comments, one of 57 characters
flac8.flac      8 kHz mono, 8 bits, 8,000 samples of 500 Hz; no tags
ogg_flac.oga    22.05 kHz mono, 16 bits, 33,075 samples of a sweep from 200 Hz rising 400 Hz a second,
                FLAC inside Ogg; no tags
vorbis.ogg      44.1 kHz stereo, quality 4, 100,000 samples of the sweep; a non-ASCII title ("Café")
vorbis_mono.oga 22.05 kHz mono, quality 2, 22,050 samples of 500 Hz
opus.opus       48 kHz stereo, 96 kbit/s, 57,600 samples of 1 kHz; tags
opus_in.ogg     48 kHz mono, 32 kbit/s, 30,011 samples of the sweep: Opus under the Vorbis extension
chain_a.ogg     44.1 kHz stereo, quality 2, 88,200 samples of 440 Hz; "One - First Song"
chain_b.ogg     44.1 kHz stereo, quality 2, 66,150 samples of 660 Hz; "Two - Second Song"
chain_c.oga     22.05 kHz mono, quality 2, 33,075 samples of 330 Hz; "Three - " and a Cyrillic title
chain_d.opus    48 kHz stereo, 64 kbit/s, 72,000 samples of 440 Hz; "Four - Opus One"
chain_e.opus    48 kHz mono, 32 kbit/s, 48,000 samples of 550 Hz; "Five - Opus Two"
                (the chain_ files are chained into one station's stream by the test server)
<name>.source.wav   what was encoded
<name>.ref.wav      the reference decoder's decoding: flac -d, oggdec, opusdec --rate 48000 --no-dither
"""
import math
import os
import struct
import subprocess
import sys
import wave

# Tags are handed to the encoders as UTF-8.
ENV = dict(os.environ, LC_ALL="C.UTF-8")


def signal(rate, samples, frequency, sweep=0.0):
    for i in range(samples):
        t = i / rate
        yield math.sin(2 * math.pi * (frequency * t + sweep / 2 * t * t))


def write_wave(path, rate, channels, width, frames):
    with wave.open(path, "wb") as out:
        out.setnchannels(channels)
        out.setsampwidth(width)
        out.setframerate(rate)
        out.writeframes(bytes(frames))


def tone16(path, rate, channels, samples, frequency, sweep=0.0):
    frames = bytearray()
    for s in signal(rate, samples, frequency, sweep):
        frames += struct.pack("<h", int(round(16384 * s))) * channels
    write_wave(path, rate, channels, 2, frames)


def tone24(path, rate, samples):
    """Half scale with the low byte walking through every value, then a run at the largest value."""
    frames = bytearray()
    for i, s in enumerate(signal(rate, samples, 1000)):
        if samples - 2000 <= i < samples - 1000:
            left = right = 0x7FFFFF
        else:
            left = (int(round(4194304 * s)) & ~0xFF) | (i & 0xFF)
            right = (int(round(-4194304 * s)) & ~0xFF) | ((i * 7 + 128) & 0xFF)
        frames += left.to_bytes(3, "little", signed=True) + right.to_bytes(3, "little", signed=True)
    write_wave(path, rate, 2, 3, frames)


def tone8(path, rate, samples, frequency):
    frames = bytearray(int(round(128 + 100 * s)) for s in signal(rate, samples, frequency))
    write_wave(path, rate, 1, 1, frames)


# A comment longer than the 31 characters a playlist entry's header information holds.
LONG_COMMENT = "\u0414\u043b\u0438\u043d\u043d\u044b\u0439 \u043a\u043e\u043c\u043c\u0435\u043d\u0442\u0430\u0440\u0438\u0439 \u043a \u043f\u0435\u0441\u043d\u0435, \u0431\u043e\u043b\u044c\u0448\u0435 \u0442\u0440\u0438\u0434\u0446\u0430\u0442\u0438 \u043e\u0434\u043d\u043e\u0433\u043e \u0437\u043d\u0430\u043a\u0430"


def run(*command):
    subprocess.run(command, check=True, env=ENV, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    path = lambda name: os.path.join(out, name)
    source = lambda name: path(os.path.splitext(name)[0] + ".source.wav")
    ref = lambda name: path(os.path.splitext(name)[0] + ".ref.wav")

    tone16(source("flac16.flac"), 44100, 2, 88323, 1000)
    run("flac", "-s", "-f", "-o", path("flac16.flac"), "-T", "TITLE=Tone", "-T", "ARTIST=Maker", "-T", "ALBUM=Generated",
        "-T", "COMMENT=made here", "-T", "DATE=2024-05-01", "-T", "GENRE=Jazz", source("flac16.flac"))
    tone24(source("flac24.flac"), 96000, 72000)
    run("flac", "-s", "-f", "-o", path("flac24.flac"), "-T", "TITLE=Deep", source("flac24.flac"))
    tone8(source("flac8.flac"), 8000, 8000, 500)
    run("flac", "-s", "-f", "-o", path("flac8.flac"), source("flac8.flac"))
    run("flac", "-s", "-f", "-o", path("unicode_tags.flac"), "-T", "TITLE=\u6b4c\u306e\u984c\u540d",
        "-T", "ARTIST=\u0418\u0441\u043f\u043e\u043b\u043d\u0438\u0442\u0435\u043b\u044c", "-T", "DATE=1999",
        "-T", "GENRE=\u0388\u03bd\u03c4\u03b5\u03c7\u03bd\u03bf", "-T", "COMMENT=" + LONG_COMMENT, source("flac8.flac"))
    tone16(source("ogg_flac.oga"), 22050, 1, 33075, 200, sweep=400)
    run("flac", "-s", "-f", "--ogg", "-o", path("ogg_flac.oga"), source("ogg_flac.oga"))
    for name in ("flac16.flac", "flac24.flac", "flac8.flac", "ogg_flac.oga"):
        run("flac", "-s", "-f", "-d", "-o", ref(name), path(name))

    tone16(source("vorbis.ogg"), 44100, 2, 100000, 200, sweep=400)
    run("oggenc", "-Q", "-q", "4", "-t", "Café", "-a", "Band", "-l", "Album", "-d", "2023", "-G", "Rock",
        "-c", "COMMENT=vorbis note", "-o", path("vorbis.ogg"), source("vorbis.ogg"))
    tone16(source("vorbis_mono.oga"), 22050, 1, 22050, 500)
    run("oggenc", "-Q", "-q", "2", "-o", path("vorbis_mono.oga"), source("vorbis_mono.oga"))
    for name in ("vorbis.ogg", "vorbis_mono.oga"):
        run("oggdec", "-Q", "-o", ref(name), path(name))

    tone16(source("opus.opus"), 48000, 2, 57600, 1000)
    run("opusenc", "--quiet", "--bitrate", "96", "--title", "Song", "--artist", "Singer", "--album", "Record",
        "--date", "2022", "--genre", "Pop", "--comment", "COMMENT=opus note", source("opus.opus"), path("opus.opus"))
    tone16(source("opus_in.ogg"), 48000, 1, 30011, 200, sweep=400)
    run("opusenc", "--quiet", "--bitrate", "32", source("opus_in.ogg"), path("opus_in.ogg"))
    for name in ("opus.opus", "opus_in.ogg"):
        run("opusdec", "--quiet", "--rate", "48000", "--no-dither", path(name), ref(name))

    chained = [("chain_a.ogg", 44100, 2, 88200, 440, "One", "First Song"),
               ("chain_b.ogg", 44100, 2, 66150, 660, "Two", "Second Song"),
               ("chain_c.oga", 22050, 1, 33075, 330, "Three", "\u0422\u0440\u0435\u0442\u044c\u044f \u043f\u0435\u0441\u043d\u044f")]
    for name, rate, channels, samples, frequency, artist, title in chained:
        tone16(source(name), rate, channels, samples, frequency)
        run("oggenc", "-Q", "-q", "2", "-a", artist, "-t", title, "-o", path(name), source(name))
        run("oggdec", "-Q", "-o", ref(name), path(name))
    chained = [("chain_d.opus", 2, 72000, 440, "64", "Four", "Opus One"),
               ("chain_e.opus", 1, 48000, 550, "32", "Five", "Opus Two")]
    for name, channels, samples, frequency, bitrate, artist, title in chained:
        tone16(source(name), 48000, channels, samples, frequency)
        run("opusenc", "--quiet", "--bitrate", bitrate, "--artist", artist, "--title", title, source(name), path(name))
        run("opusdec", "--quiet", "--rate", "48000", "--no-dither", path(name), ref(name))

    open(path("stamp"), "w").close()


if __name__ == "__main__":
    main()
