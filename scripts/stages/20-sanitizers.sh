# The same suite under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
. "$(dirname "$0")/../lib.sh"
ensure_packages "${FONT_PACKAGES[@]}"
configure_and_build "$ROOT/build/asan" -DCMAKE_BUILD_TYPE=Debug -DQUILLFEN_WERROR=ON \
  -DQUILLFEN_SANITIZE=ON -DQUILLFEN_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$ROOT/build/asan" --output-on-failure -j "$JOBS"
