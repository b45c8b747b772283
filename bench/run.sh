#!/usr/bin/env bash
# Builds the benchmarks and prints every figure. Usage: bench/run.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake -S . -B "$build" >/dev/null
cmake --build "$build" -j2 --target bench_data bench_server bench_referee lontaris sound_probe $(grep -q bench_editor "$build/Makefile" 2>/dev/null && echo bench_editor) $(grep -q bench_hotseat "$build/Makefile" 2>/dev/null && echo bench_hotseat) bench_idle bench_topfive \
  pelmaro lontaris_sound bench_bare_window bench_startup bench_csv bench_stats >/dev/null
echo "== database"
"$build/bin/bench_data"
echo "== database: the file and a PostgreSQL server side by side (local socket)"
"$build/bin/bench_server"
echo "== the server refereeing: a verdict's round trip beside the file's, one game and 40 at once"
"$build/bin/bench_referee"
if [ -x "$build/bin/bench_editor" ]; then
  echo "== editor"
  QT_QPA_PLATFORM=offscreen "$build/bin/bench_editor"
fi
echo "== editor: CSV import and export beside reading the table (file and server)"
"$build/bin/bench_csv"
echo "== recorded answers: the statistics window, --stats and a verdict's record (file, 1,000,000 answers)"
"$build/bin/bench_stats" 2>/dev/null
if [ -x "$build/bin/bench_hotseat" ]; then
  echo "== hot seat"
  QT_QPA_PLATFORM=offscreen LONTARIS_MUTE=1 "$build/bin/bench_hotseat"
fi
echo "== hot seat at rest (offscreen, real event loop)"
QT_QPA_PLATFORM=offscreen LONTARIS_MUTE=1 "$build/bin/bench_idle" 2>/dev/null
echo "== top-five board"
QT_QPA_PLATFORM=offscreen LONTARIS_MUTE=1 "$build/bin/bench_topfive" 2>/dev/null
echo "== game start-up (offscreen, existing database; median of 5)"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# Median wall time (ms) of five starts of the game in folder $1; the program's
# own line (first window, peak memory) goes to $1/line.
startup() {
  QT_QPA_PLATFORM=offscreen LONTARIS_MUTE=1 LONTARIS_QUIT_AFTER_MS=1000 "$1/lontaris" >/dev/null 2>&1 # makes the database (opened after the first window)
  for i in 1 2 3 4 5; do
    start=$(date +%s%N)
    line=$(QT_QPA_PLATFORM=offscreen LONTARIS_QUIT_AFTER_MS=1 "$1/lontaris" 2>/dev/null)
    end=$(date +%s%N)
    echo "$(( (end - start) / 1000000 )) $line"
  done | sort -n | sed -n 3p > "$1/line"
  cut -d' ' -f1 < "$1/line"
}
# Median time (ms) the open of the database takes, after the first window.
opening() {
  for i in 1 2 3 4 5; do
    QT_QPA_PLATFORM=offscreen LONTARIS_MUTE=1 LONTARIS_QUIT_AFTER_MS=600 "$1/lontaris" 2>/dev/null | sed -n 's/^database opened in \([0-9.]*\) ms$/\1/p'
  done | sort -n | sed -n 3p
}
echo "== start-up beside a bare Qt window (offscreen, existing database; CPU and peak memory of the whole process)"
mkdir -p "$tmp/ratio/data"
cp "$build/bin/lontaris" "$build/bin/pelmaro" "$build/bin/liblontaris_sound.so" "$build/bin/bench_bare_window" "$tmp/ratio/"
cp -r "$build/bin/media" "$tmp/ratio/"
"$build/bin/bench_startup" "$tmp/ratio" 15
for size in shipped 100000; do
  mkdir -p "$tmp/$size/data" # a program folder with a data folder keeps its database there, not in ~/.local/share
  cp "$build/bin/lontaris" "$build/bin/liblontaris_sound.so" "$tmp/$size/"
  cp -r "$build/bin/media" "$tmp/$size/"
  [ "$size" = shipped ] || "$build/bin/bench_data" --make-db "$tmp/$size" "$size"
done
base=$(startup "$tmp/shipped")
big=$(startup "$tmp/100000")
echo "shipped bank:                      $base ms wall, process start to exit; $(cut -d' ' -f2- < "$tmp/shipped/line")"
echo "100,000 accounts and questions:    $big ms wall ($(awk -v a="$big" -v b="$base" 'BEGIN { printf "%.2f", a / b }')x the shipped bank); $(cut -d' ' -f2- < "$tmp/100000/line")"
openBase=$(opening "$tmp/shipped")
openBig=$(opening "$tmp/100000")
echo "the database's open, after the first window: shipped bank $openBase ms, 100,000 rows $openBig ms ($(awk -v a="$openBig" -v b="$openBase" 'BEGIN { printf "%.2f", a / b }')x)"
echo "(goals: first window under 400 ms, peak memory under 80 MB; 100,000 rows within 1.2x of the shipped bank)"
bash bench/sound.sh "$build"
