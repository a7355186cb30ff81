#!/bin/sh
# Builds and runs the start-up and Apply benchmark: ./bench/run.sh [rounds]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" >/dev/null
cmake --build "$root/build" --target bench_startup bench_runner >/dev/null
cd "$root/build"
if [ -n "${DISPLAY:-}" ]; then
    exec ./bench/bench_runner ./bench/bench_startup "${1:-30}"
fi
echo "No display: measuring on a virtual X display (Xvfb)."
exec xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24" \
    ./bench/bench_runner ./bench/bench_startup "${1:-30}"
