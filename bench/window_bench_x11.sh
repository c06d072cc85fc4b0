#!/usr/bin/env bash
# The paste benchmark through a real X clipboard: xclip holds the sample
# (MEGABYTES of minified JSON) and the window, under Xvfb, fetches it from
# there on every paste. clipboard_ms is the transfer alone.
#   bench/window_bench_x11.sh BUILD_DIR [MEGABYTES]
set -euo pipefail
build=${1:?usage: window_bench_x11.sh BUILD_DIR [MEGABYTES]}
megabytes=${2:-100}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/json-sample" "$megabytes" >"$work/sample.json"
export QUILLFEN_SAMPLE="$work/sample.json" BENCH="$build/bench/window_bench" MEGABYTES="$megabytes"
xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
  xclip -quiet -selection clipboard -i "$QUILLFEN_SAMPLE" >/dev/null &
  owner=$!
  until xclip -selection clipboard -o -t TARGETS >/dev/null 2>&1; do :; done
  QT_QPA_PLATFORM=xcb QUILLFEN_BENCH_OUTSIDE_CLIPBOARD=1 \
    "$BENCH" --benchmark_filter="Paste/$((MEGABYTES << 20))/"
  kill $owner'
