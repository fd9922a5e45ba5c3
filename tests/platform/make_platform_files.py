#!/usr/bin/env python3
"""Encodes the platform module's test files with ffmpeg from generated tones and decodes each with
ffmpeg for the reference: make_platform_files.py OUTPUT_DIR.

tone.m4a       44.1 kHz stereo AAC in MPEG-4, 128 kbit/s, 3 s of 1 kHz at half scale, with tags
               (title "Tone", artist "Maker", album "Generated", comment "made here", year 2024,
               genre "Jazz")
sweep.aac      48 kHz mono ADTS AAC, 96 kbit/s, 2 s of a sweep from 200 Hz rising 400 Hz a second
tone.aac       44.1 kHz stereo ADTS AAC, 128 kbit/s, 2 s of 1 kHz at half scale (a station's second
               stream, of another format)
tone.wma       44.1 kHz stereo Windows Media audio 2, 128 kbit/s, 2 s of 1 kHz, with the same tags
<name>.ffmpeg.wav   (tone.m4a.ffmpeg.wav and so on) each of them decoded by ffmpeg to 16-bit PCM, the reference decoding
"""
import os
import subprocess
import sys

TAGS = ["-metadata", "title=Tone", "-metadata", "artist=Maker", "-metadata", "album=Generated",
        "-metadata", "comment=made here", "-metadata", "date=2024", "-metadata", "genre=Jazz"]


def ffmpeg(*arguments):
    subprocess.run(["ffmpeg", "-nostdin", "-loglevel", "error", "-y", *arguments], check=True)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    tone = "sine=frequency=1000:sample_rate=44100:duration=%d"
    ffmpeg("-f", "lavfi", "-i", tone % 3, "-af", "volume=0.5,aformat=channel_layouts=stereo", "-c:a", "aac",
           "-b:a", "128k", *TAGS, os.path.join(out, "tone.m4a"))
    sweep = "aevalsrc=0.5*sin(2*PI*(200*t+200*t*t)):sample_rate=48000:duration=2"
    ffmpeg("-f", "lavfi", "-i", sweep, "-c:a", "aac", "-b:a", "96k", "-f", "adts", os.path.join(out, "sweep.aac"))
    ffmpeg("-f", "lavfi", "-i", tone % 2, "-af", "volume=0.5,aformat=channel_layouts=stereo", "-c:a", "aac",
           "-b:a", "128k", "-f", "adts", os.path.join(out, "tone.aac"))
    ffmpeg("-f", "lavfi", "-i", tone % 2, "-af", "volume=0.5,aformat=channel_layouts=stereo", "-c:a", "wmav2",
           "-b:a", "128k", *TAGS, os.path.join(out, "tone.wma"))
    for name in ("tone.m4a", "sweep.aac", "tone.aac", "tone.wma"):
        ffmpeg("-i", os.path.join(out, name), "-c:a", "pcm_s16le", "-f", "wav",
               os.path.join(out, name + ".ffmpeg.wav"))
    with open(os.path.join(out, "stamp"), "w") as stamp:
        stamp.write("made\n")


if __name__ == "__main__":
    main()
