#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the libFuzzer targets one after another, each on core FUZZ_CPU (0) for FUZZ_SECONDS (600), from
# seed corpora made here (small streams, pictures and videos; ffmpeg makes the media seeds).
#   cmake --preset fuzz && cmake --build --preset fuzz
#   scripts/run-fuzz.sh [TARGET...]        corpora and logs in $FUZZ_WORK (build/fuzz-work)
# Each log ends with libFuzzer's final figures (exec/s, cov, ft, corpus); crashes land beside it.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BIN=${FUZZ_BIN:-$ROOT/build/fuzz/fuzz}
WORK=${FUZZ_WORK:-$ROOT/build/fuzz-work}
SECONDS_EACH=${FUZZ_SECONDS:-600}
TARGETS=${*:-"StreamFileFuzz SchemeFuzz KeyCoverFuzz ReportFuzz OptionFuzz PictureFuzz VideoFuzz"}

# A stream file of WIDTH x HEIGHT, FRAMES frames of stripes, little-endian header as written.
kvt_seed() {
    python3 - "$@" <<'EOF'
import struct, sys
path, w, h, n = sys.argv[1], *map(int, sys.argv[2:5])
pixels = bytes(0 if (x + y + f) % 3 == 0 else 255 for f in range(n) for y in range(h) for x in range(w))
open(path, "wb").write(b"KV" + struct.pack("<HHIiiHHH", 0, 0, w * h, w, h, n, 0, 0) + pixels)
EOF
}

# FILE as a seed of an import target: two bytes (ending, settings) before it.
prefixed() {
    printf "\\$(printf %o "$2")\\$(printf %o "$3")" | cat - "$1" >"$(dirname "$1")/$(basename "$1" | tr . -)"
}

make_seeds() {
    target=$1 dir=$2
    mkdir -p "$dir"
    [ -n "$(ls -A "$dir")" ] && return 0
    case $target in
    StreamFileFuzz)
        kvt_seed "$dir/small.kvt" 5 3 2
        kvt_seed "$dir/row.kvt" 17 1 1 ;;
    PictureFuzz)
        # The first byte picks the ending by its place in the target's list, the second the settings.
        i=0
        for ext in png jpg gif bmp tif webp pgm ppm xpm ico; do
            if ffmpeg -v error -f lavfi -i testsrc=size=12x8 -frames:v 1 -y "$dir/seed.$ext" 2>/dev/null; then
                prefixed "$dir/seed.$ext" $i 0
            fi
            rm -f "$dir/seed.$ext"
            i=$((i + 1))
        done ;;
    VideoFuzz)
        i=0
        for ext in mkv mp4 avi webm mov mpg ts flv; do
            if ffmpeg -v error -f lavfi -i testsrc=size=16x12:rate=4 -frames:v 3 -g 2 -y "$dir/seed.$ext" 2>/dev/null; then
                prefixed "$dir/seed.$ext" $i 2
            fi
            rm -f "$dir/seed.$ext"
            i=$((i + 1))
        done ;;
    esac
}

extra_options() {
    case $1 in
    # The scheme target spends most of a second an input: inputs of full length from the start.
    SchemeFuzz) echo -len_control=0 ;;
    esac
}

for target in $TARGETS; do
    corpus=$WORK/$target
    make_seeds "$target" "$corpus"
    mkdir -p "$WORK/crashes-$target"
    echo "== $target, $SECONDS_EACH s"
    (cd "$WORK/crashes-$target" &&
        nice -n 10 taskset -c "${FUZZ_CPU:-0}" "$BIN/$target" -max_total_time="$SECONDS_EACH" -keep_seed=1 \
            -print_final_stats=1 -rss_limit_mb=2048 -timeout=60 $(extra_options "$target") \
            "$corpus" >"$WORK/$target.log" 2>&1) || echo "$target stopped: see $WORK/$target.log"
    grep -E '^#[0-9]+.*DONE|stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb' \
        "$WORK/$target.log" || true
done
