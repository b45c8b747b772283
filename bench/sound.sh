#!/usr/bin/env bash
# What a player hears: plays the game's sounds through a private PulseAudio
# server whose only sink is a null sink, records its monitor with parec and
# measures the recording with sox. Each figure is printed beside its reference,
# measured the same way in the same run. Exits 0 with a note when no server can
# start. SOUND_LOOP=0 leaves out the 30-second loop measurement; SOUND_KEEP=1 keeps
# the recordings. Usage: bench/sound.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
for tool in pulseaudio parec sox; do
  command -v $tool >/dev/null || { echo "sound: $tool is missing; skipped"; exit 0; }
done
cmake --build "$build" -j2 --target sound_probe media >/dev/null
probe=$(realpath "$build/bin/sound_probe")
root=$(realpath "$build/bin")

work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work/run HOME=$work PULSE_SERVER=unix:$work/run/pulse/native
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --no-cpu-limit --use-pid-file=no --disable-shm=yes \
  -L "module-null-sink sink_name=rec rate=44100" -L "module-native-protocol-unix" >"$work/pa.log" 2>&1 &
server=$!
keeper=
cleanup() { if [ -n "$keeper" ]; then kill "$keeper" 2>/dev/null || true; fi; kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; if [ -n "${SOUND_KEEP:-}" ]; then echo "recordings kept in $work" >&2; else rm -rf "$work"; fi; }
trap cleanup EXIT
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl info >/dev/null 2>&1 || { echo "sound: no PulseAudio server could start; skipped"; exit 0; }
# A null sink with nothing playing stands still, and so would the recording:
# a stream of silence keeps it running in real time.
pacat -p -d rec --rate=44100 --channels=2 --format=s16le </dev/zero 2>/dev/null &
keeper=$!

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
# record NAME ARGS...: runs the probe while recording; leaves NAME.wav and NAME.marks
# (mark name, seconds from the start of the recording).
record() {
  local name=$1; shift
  parec -d rec.monitor --rate=44100 --channels=2 --format=s16le --latency-msec=10 >"$work/$name.raw" &
  local rec=$! start size
  # The recording starts a moment after parec does: date it by what it holds.
  for _ in $(seq 100); do
    size=$(stat -c %s "$work/$name.raw")
    [ "$size" -ge 88200 ] && break
    sleep 0.05
  done
  start=$(( $(now_ms) - size * 1000 / 176400 ))
  QT_QPA_PLATFORM=offscreen "$probe" "$root" "$@" >"$work/$name.out" 2>/dev/null
  sleep 0.5
  kill -INT "$rec"; wait "$rec" 2>/dev/null || true
  sox -t raw -r 44100 -e signed -b 16 -c 2 "$work/$name.raw" "$work/$name.wav"
  awk -v s="$start" '{ printf "%s %.3f\n", $1, ($2 - s) / 1000 }' "$work/$name.out" >"$work/$name.marks"
}
at() { awk -v m="$2" '$1 == m { print $2 }' "$work/$1.marks"; }
length() { local f=$1; shift; sox "$f" -n "$@" stat 2>&1 | awk '/^Length/ { print $3 }'; }
peak() { local f=$1; shift; sox "$f" -n "$@" stat 2>&1 | awk '/^Maximum amplitude/ { print $3 }'; }
# First sound louder than -50 dBFS after a time, in seconds from the start.
# The reference files are measured at the level the game plays them (the third
# argument), so that the same threshold cuts them at the same place.
onset() {
  local f=$1 from=$2 rest
  rest=$(length "$f" vol "${3:-1}" trim "$from" silence 1 0.001 -50d)
  awk -v t="$(length "$f")" -v f="$from" -v r="${rest:-0}" 'BEGIN { printf "%.3f", t - r }'
}
# How long a sound lasts from a time until 50 ms of silence (-50 dBFS).
heard() { length "$1" vol "${3:-1}" trim "$2" silence 1 0.0005 -50d 1 0.05 -50d; }
sub() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a - b }'; }

echo "== sound as heard (PulseAudio null sink, parec, sox)"
for fx in click.qbs ding.wav sai.wav; do
  record "fx-$fx" effect "$fx"
  o=$(onset "$work/fx-$fx.wav" "$(at "fx-$fx" play)")
  printf '%-44s heard %6.3f s   (file: %.3f s of sound)\n' "$fx" "$(heard "$work/fx-$fx.wav" "$o")" "$(heard "$root/media/$fx" 0 0.75)"
done
o=$(onset "$work/fx-click.qbs.wav" "$(at fx-click.qbs play)")
click_latency=$(sub "$o" "$(at fx-click.qbs play)")

record briefing briefing
b=$(at briefing briefing)
printf '%-44s %6.3f s   (goal < 0.5 s; an effect takes %.3f s from play to sound)\n' \
  "music starts after the briefing loads" "$(sub "$(onset "$work/briefing.wav" "$b")" "$b")" "$click_latency"

record mix mix
e=$(at mix effect)
printf '%-44s %6.3f     (full scale 1.000; music alone %.3f)\n' "peak of the wrong sound over the music" \
  "$(peak "$work/mix.wav" trim "$e" 2)" "$(peak "$work/mix.wav" trim "$(sub "$e" 1.5)" 1.4)"

if [ "${SOUND_LOOP:-1}" = 1 ]; then
  record loop loop
  m=$(onset "$work/loop.wav" "$(at loop music)")
  piece=$(heard "$root/media/nen.wav" "$(onset "$root/media/nen.wav" 0 0.45)" 0.45)
  end=$(awk -v m="$m" -v p="$piece" 'BEGIN { printf "%.3f", m + p - 0.5 }')
  tail=$(heard "$work/loop.wav" "$end")
  quiet=$(awk -v e="$end" -v t="$tail" 'BEGIN { printf "%.3f", e + t }')
  back=$(onset "$work/loop.wav" "$(awk -v q="$quiet" 'BEGIN { printf "%.3f", q + 0.06 }')")
  printf '%-44s %6.3f s   (file: %.3f s of sound)\n' "music heard before its first restart" "$(sub "$quiet" "$m")" "$piece"
  printf '%-44s %6.3f s   (the file ends in %.2f s of silence; the loop looks every 0.5 s)\n' \
    "silence before the music starts again" "$(sub "$back" "$quiet")" 0.15
fi
