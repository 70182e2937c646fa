#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The demo: writes the built-in secret stream and opens the player on it. Without a display it
# splits the stream into its two shadows with the command-line tool instead.
set -eu
build=${1:-build}
out="$build/demo"
mkdir -p "$out"
# The build makes the demo stream; an older build dir gets it here.
[ -f "$out/demo.kvt" ] || "$build/src/cli/kvt" demo --out-dir "$out"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$build/src/app/kvtplayer" "$out/demo.kvt"
fi
echo "No display found (DISPLAY and WAYLAND_DISPLAY are unset): running the command-line demo instead."
"$build/src/cli/kvt" shadows "$out/demo.kvt" --out-dir "$out"
