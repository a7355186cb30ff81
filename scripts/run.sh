#!/bin/sh
# Builds the program and starts it in the current directory, where it writes
# locale.ini and looks for the game. Without a display it uses a virtual one.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" linux
program="$root/build/korvane-resolution-changer"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$program"
fi
echo "No display found: starting the program on a virtual X display (Xvfb), where it cannot be seen."
echo "Press Ctrl+C to stop it."
exec xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24 -noreset" "$program"
