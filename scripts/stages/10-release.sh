# Release build with warnings as errors, and its tests.
set -euo pipefail
. "$(dirname "$0")/../lib.sh"
ensure_packages "${FONT_PACKAGES[@]}"
configure_and_build "$ROOT/build/ci" -DQUILLFEN_WERROR=ON
ctest --test-dir "$ROOT/build/ci" --output-on-failure -j "$JOBS"
