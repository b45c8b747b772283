#!/usr/bin/env bash
# Takes the documentation screenshots of every form under Xvfb into docs/, on
# the screen of a common laptop (1366×768).
# Usage: tools/screenshots.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
command -v xvfb-run >/dev/null || { apt-get update -qq && apt-get install -y -qq xvfb xauth; }
cmake -S . -B "$build" >/dev/null
cmake --build "$build" -j2 --target screenshots >/dev/null
xvfb-run -a -s "-screen 0 1366x768x24" "$build/bin/screenshots" docs
