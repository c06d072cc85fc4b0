# The record readers and the text engine's line layout under libFuzzer:
# built with clang in a configure of their own, each target run for a
# bounded time from the program's records (the layout from nothing).
set -euo pipefail
. "$(dirname "$0")/../lib.sh"
ensure_packages clang libclang-rt-14-dev
FOLDER="$ROOT/build/fuzz"
SECONDS_EACH=25
mkdir -p "$FOLDER"
configure_and_build "$FOLDER" -DCMAKE_CXX_COMPILER=clang++ -DQUILLFEN_FUZZ=ON -DQUILLFEN_WERROR=ON
"$FOLDER/tests/fuzz/write_fuzz_seeds" "$FOLDER/seeds"
for target in project_image design_record line_layout; do
  corpus="$FOLDER/corpus/$target"
  mkdir -p "$corpus" "$FOLDER/seeds/$target"
  echo "fuzzing $target for ${SECONDS_EACH}s"
  timeout $((SECONDS_EACH + 30)) "$FOLDER/tests/fuzz/${target}_fuzzer" \
    -max_total_time="$SECONDS_EACH" -max_len=4096 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$FOLDER/crash-$target-" "$corpus" "$FOLDER/seeds/$target" 2>"$FOLDER/$target.log" ||
    { tail -n 60 "$FOLDER/$target.log"; exit 1; }
  grep -E '^stat::number_of_executed_units' "$FOLDER/$target.log" || true
done
