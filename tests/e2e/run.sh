#!/usr/bin/env bash
# End-to-end run of the real program on a virtual X server with a real
# window manager, driven only through the mouse, the keyboard and the
# clipboard, the way a person would use it.
#
#   tests/e2e/run.sh PROGRAM [--artifacts DIR] [--screenshot PNG] [--convert-one]
#
# Screenshots and the program's output go to DIR (default build/e2e);
# --screenshot also saves a picture of the window after a conversion.
# --convert-one only starts the program, converts one text and closes it,
# under the usual title bar: the quick check of an installed program.
#
# The whole suite runs under a window manager with its usual title bar;
# the layout checks run again under title bars of other heights, since the
# layout depends on the frame the window manager puts around the window.
set -euo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
DPI=96
SCREEN=1280x1024x24
# Title font sizes, points: at 96 dpi, title bars of about 20, 38 and 50 px.
TITLE_FONT_SIZES=(8 19 28)

program=${1:?usage: run.sh PROGRAM [--artifacts DIR] [--screenshot PNG] [--convert-one]}
shift
artifacts=$ROOT/build/e2e
screenshot=()
convert_one=()
while [ $# -gt 0 ]; do
  case $1 in
    --artifacts) artifacts=$2; shift 2 ;;
    --screenshot) screenshot=(--screenshot "$2"); shift 2 ;;
    --convert-one) convert_one=(--convert-one); TITLE_FONT_SIZES=("${TITLE_FONT_SIZES[0]}"); shift ;;
    *) echo "run.sh: unknown option $1" >&2; exit 2 ;;
  esac
done
[ -x "$program" ] || { echo "run.sh: $program is not an executable" >&2; exit 2; }
mkdir -p "$artifacts"
rm -f "$artifacts"/*.png "$artifacts"/*.log

work=$(mktemp -d /tmp/quillfen-e2e.XXXXXX)
xvfb_pid=
wm_pid=

# Ends one process of ours by its id: politely first, then for good.
end_process() {
  local pid=$1
  [ -n "$pid" ] || return 0
  kill "$pid" 2>/dev/null || return 0
  for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null || true; return 0; }
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

cleanup() {
  end_process "$wm_pid"
  end_process "$xvfb_pid"
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display itself and writes its number to the given
# descriptor once it accepts clients.
Xvfb -displayfd 3 -screen 0 "$SCREEN" -dpi "$DPI" -nolisten tcp -noreset \
  3>"$work/display" >"$artifacts/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || { echo "Xvfb did not start:"; cat "$artifacts/xvfb.log"; exit 1; }
  sleep 0.1
done
[ -s "$work/display" ] || { echo "Xvfb gave no display within 10 s"; exit 1; }
export DISPLAY=":$(tr -d '[:space:]' <"$work/display")"

# The window manager keeps its settings, cache and session files in the
# run's own folder, and takes its configuration from this suite.
mkdir -p "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_CACHE_HOME=$work/home/.cache \
  XDG_DATA_HOME=$work/home/.local/share XDG_RUNTIME_DIR=$work/runtime

# Whether a window manager runs: the root window names its check window,
# and that window exists (a window manager that has ended leaves the name).
wm_running() {
  local id
  id=$(timeout 2 xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | sed -n 's/.*window id # //p')
  [ -n "$id" ] && timeout 2 xprop -id "$id" _NET_SUPPORTING_WM_CHECK >/dev/null 2>&1
}

start_window_manager() {
  local size=$1
  sed "s/@TITLE_FONT_SIZE@/$size/g" "$HERE/openbox-rc.xml" >"$work/openbox-rc-$size.xml"
  openbox --config-file "$work/openbox-rc-$size.xml" >"$artifacts/openbox-$size.log" 2>&1 &
  wm_pid=$!
  for _ in $(seq 100); do
    wm_running && return 0
    kill -0 "$wm_pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "openbox did not start:"
  cat "$artifacts/openbox-$size.log"
  return 1
}

status=0
for size in "${TITLE_FONT_SIZES[@]}"; do
  if [ "$size" = "${TITLE_FONT_SIZES[0]}" ]; then
    checks=(--label "title-$size" "${screenshot[@]}" "${convert_one[@]}")
  else
    checks=(--label "title-$size" --layout-only)
  fi
  echo "== window manager with a title font of $size pt"
  start_window_manager "$size" || { status=1; break; }
  run_status=0
  timeout 200 python3 "$HERE/drive.py" --program "$program" --dpi "$DPI" \
    --artifacts "$artifacts" --work "$work" "${checks[@]}" || run_status=$?
  [ "$run_status" -eq 124 ] && echo "the end-to-end run took longer than 200 s"
  [ "$run_status" -eq 0 ] || status=$run_status
  end_process "$wm_pid"
  wm_pid=
  for _ in $(seq 100); do
    wm_running || break
    sleep 0.1
  done
done

# A screen reader's view, on a session bus of this run's own, on which the
# accessibility bus starts as a desktop session starts it; not part of the
# quick check.
if [ ${#convert_one[@]} -gt 0 ]; then
  exit "$status"
fi
echo "== accessibility, as a screen reader reads the program"
if start_window_manager "${TITLE_FONT_SIZES[0]}"; then
  run_status=0
  timeout 180 dbus-run-session -- /usr/bin/python3 "$HERE/accessibility.py" --program "$program" --dpi "$DPI" \
    --artifacts "$artifacts" --work "$work" 2>"$artifacts/accessibility-bus.log" || run_status=$?
  [ "$run_status" -eq 124 ] && echo "the accessibility run took longer than 180 s"
  if [ "$run_status" -ne 0 ]; then
    status=$run_status
    tail -n 20 "$artifacts/accessibility-bus.log"
  fi
  end_process "$wm_pid"
  wm_pid=
else
  status=1
fi
exit "$status"
