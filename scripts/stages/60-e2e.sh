# The release build used as a person would: on a virtual X server with a
# real window manager, through mouse, keyboard and clipboard only.
set -euo pipefail
. "$(dirname "$0")/../lib.sh"
ensure_packages xvfb openbox xdotool xclip x11-utils imagemagick python3 python3-xlib qt6-qpa-plugins \
  fonts-dejavu-core python3-pyatspi at-spi2-core dbus-daemon

program="$ROOT/build/ci/app/quillfen"
[ -x "$program" ] || configure_and_build "$ROOT/build/ci" -DQUILLFEN_WERROR=ON
timeout 660 "$ROOT/tests/e2e/run.sh" "$program" --artifacts "$ROOT/build/e2e"
