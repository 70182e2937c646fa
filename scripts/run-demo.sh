#!/bin/sh
# The demo: writes the built-in secret stream and splits it into its two shadows.
set -eu
build=${1:-build}
out="$build/demo"
mkdir -p "$out"
"$build/src/cli/kvt" demo --out-dir "$out"
"$build/src/cli/kvt" shadows "$out/demo.kvt"
