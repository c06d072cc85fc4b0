#!/usr/bin/env bash
# The command-line conversion beside a one-line perl substitution doing the
# same five replacements and beside cat, each as a whole process on the same
# minified JSON file, output to a file. Prints the quickest of RUNS runs of
# each and the ratios; checks that perl and quillfen-format agree.
#   bench/compare_format.sh BUILD_DIR [MEGABYTES] [RUNS]
set -euo pipefail
build=${1:?usage: compare_format.sh BUILD_DIR [MEGABYTES] [RUNS]}
megabytes=${2:-20}
runs=${3:-5}
format=$build/tools/quillfen-format
sample=$build/bench/json-sample
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$sample" "$megabytes" >"$work/in.json"

# The times come from the shell's own clock, in microseconds: reading it
# starts no process, so the time measured is the command's alone.
best_ms() {  # command... ; the quickest wall time of $runs runs, in ms
  local best= start end us
  for _ in $(seq "$runs"); do
    rm -f "$work/out"  # the last run's output is not this run's to discard
    start=${EPOCHREALTIME/[.,]/}
    "$@" <"$work/in.json" >"$work/out"
    end=${EPOCHREALTIME/[.,]/}
    us=$((10#$end - 10#$start))
    if [ -z "$best" ] || [ "$us" -lt "$best" ]; then best=$us; fi
  done
  awk -v us="$best" 'BEGIN { printf "%.1f", us / 1000 }'
}

perl_format() { perl -0777 -pe 's/\t//g; s/\n//g; s/\{/{\r\n/g; s/\}/\r\n}/g; s/,/\r\n/g'; }

"$format" <"$work/in.json" >"$work/ours"
perl_format <"$work/in.json" >"$work/perls"
cmp -s "$work/ours" "$work/perls" || { echo "quillfen-format and perl disagree" >&2; exit 1; }

cat_ms=$(best_ms cat)
perl_ms=$(best_ms perl_format)
ours_ms=$(best_ms "$format")
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", (b > 0 ? a / b : 0) }'; }
printf '%s MB minified JSON, quickest of %s runs\n' "$megabytes" "$runs"
printf '  cat              %6s ms\n' "$cat_ms"
printf '  perl -0777 -pe   %6s ms\n' "$perl_ms"
printf '  quillfen-format  %6s ms   %sx faster than perl, %sx the time of cat\n' \
  "$ours_ms" "$(ratio "$perl_ms" "$ours_ms")" "$(ratio "$ours_ms" "$cat_ms")"
