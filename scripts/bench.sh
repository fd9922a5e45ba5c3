#!/usr/bin/env bash
# Builds and runs the benchmarks under Wine (not part of the test suite): in the 64-bit test
# build where this machine runs no 32-bit code, as the test command does.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$here/build}
export BUILD_DIR=$build_dir

benches=(lifecycle_bench playlist_bench advance_bench list_files_bench download_bench render_bench
         playing_cpu_bench mp3_render_bench ogg_render_bench m4a_render_bench wide_append_bench)
tree=$build_dir
if ! "$here/scripts/native_i386.sh"; then
  export TUNARA_WINE_ARCH=win64
  tree=$build_dir/wide
fi
"$here/scripts/build.sh" "${benches[@]}"
"$here/scripts/wine_prefix.sh" "$tree/wineprefix"

# The MPEG audio benchmark's 10-minute file: a tone made by sox, encoded by lame.
mp3_dir=$tree/bin/bench_mp3
if [ ! -f "$mp3_dir/long.mp3" ]; then
  mkdir -p "$mp3_dir"
  sox -n -r 44100 -c 2 -b 16 "$mp3_dir/long.wav" synth 600 sine 1000 vol 0.5
  lame --quiet -b 128 "$mp3_dir/long.wav" "$mp3_dir/long.mp3"
  rm -f "$mp3_dir/long.wav"
fi
# The FLAC and Opus benchmark's 10-minute files: pink noise, which codes about as music does,
# encoded by flac and opusenc.
ogg_dir=$tree/bin/bench_ogg
if [ ! -f "$ogg_dir/long.opus" ]; then
  mkdir -p "$ogg_dir"
  sox -n -r 44100 -c 2 -b 16 "$ogg_dir/long.wav" synth 600 pinknoise vol 0.3
  flac --silent -f -o "$ogg_dir/long.flac" "$ogg_dir/long.wav"
  opusenc --quiet --bitrate 128 "$ogg_dir/long.wav" "$ogg_dir/long.opus"
  rm -f "$ogg_dir/long.wav"
fi

# The platform module's benchmark file: 10 minutes of the same tone, AAC in M4A, made by ffmpeg.
m4a_dir=$tree/bin/bench_m4a
if [ ! -f "$m4a_dir/long.m4a" ]; then
  mkdir -p "$m4a_dir"
  ffmpeg -nostdin -loglevel error -y -f lavfi -i "sine=frequency=1000:sample_rate=44100:duration=600" \
         -af "volume=0.5,aformat=channel_layouts=stereo" -c:a aac -b:a 128k "$m4a_dir/long.m4a"
fi

. "$here/scripts/wine_env.sh" "$tree/wineprefix"
# The download benchmark fetches from the test HTTP server on 127.0.0.1.
"$here/tests/fixtures/http_server.sh" start "$tree/bin"
trap '"$here/tests/fixtures/http_server.sh" stop "$tree/bin"; wineserver -k 2>/dev/null || true' EXIT
cd "$tree/bin"
for bench in "${benches[@]}"; do
  status=0
  "$WINE" "$bench.exe" || status=$?
  if [ "$status" -ne 0 ]; then
    echo "bench: $bench failed (exit $status)" >&2
    exit 1
  fi
done

# sox copying the file that render_bench rendered, for its goal of at least half sox's speed.
source_wav=$tree/bin/cases/render_bench/render/source.wav
start=$(date +%s.%N)
sox "$source_wav" "$tree/bin/cases/render_bench/render/sox_copy.wav"
end=$(date +%s.%N)
echo "sox copying the same file: $(python3 -c "print('%.1f' % (($end - $start) * 1000))") ms"

# mpg123 decoding the MPEG audio benchmark's file to a WAVE file, printed beside the render (whose
# goal, 0.8 of libmpg123 decoding the file alone, the benchmark itself prints).
start=$(date +%s.%N)
mpg123 -q -w "$tree/bin/cases/mp3_render_bench/mp3_render/mpg123.wav" "$mp3_dir/long.mp3"
end=$(date +%s.%N)
echo "mpg123 -w decoding the same MP3 file: $(python3 -c "print('%.1f' % (($end - $start) * 1000))") ms"
