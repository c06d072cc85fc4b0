# The 32-bit Windows build, cross-compiled with mingw-w64, and its tests:
# the executable checked from outside, then every test program run under
# Wine, each in an X display of its own, all in one Wine prefix.
set -euo pipefail
. "$(dirname "$0")/../lib.sh"

ensure_packages g++-mingw-w64-i686 icoutils file python3

wine_ready=1
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  as_root dpkg --add-architecture i386
  unset QUILLFEN_APT_UPDATED  # the new architecture's package lists are needed
fi
ensure_packages wine wine32:i386 xvfb xauth "${FONT_PACKAGES[@]}" || wine_ready=0

folder="$ROOT/build/win32"
options=(-DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" -DQUILLFEN_WERROR=ON)
configure_and_build "$folder" "${options[@]}" -DCMAKE_CROSSCOMPILING_EMULATOR="$ROOT/scripts/wine-run"

# One commit makes one executable, byte for byte: the program alone is built
# again in a new folder of another name and compared with the first.
again="$ROOT/build/win32-again"
rm -rf "$again"
cmake -S "$ROOT" -B "$again" -DCMAKE_BUILD_TYPE=Release "${options[@]}" >"$again.configure.log" 2>&1 ||
  { cat "$again.configure.log"; exit 1; }
cmake --build "$again" --target quillfen -j "$JOBS" >"$again.build.log" 2>&1 || { cat "$again.build.log"; exit 1; }
cmp "$folder/app/quillfen.exe" "$again/app/quillfen.exe" ||
  { echo "two builds of the same sources made different Windows executables"; exit 1; }
echo "the Windows executable is the same from two builds: $(stat -c %s "$again/app/quillfen.exe") bytes"
rm -rf "$again"

if [ "$wine_ready" -eq 0 ]; then
  echo "Wine could not be installed: only the executable's own checks run," \
    "the Windows test programs are SKIPPED."
  ctest --test-dir "$folder" --output-on-failure -R app_win32_executable_test
  exit 0
fi

prefix_root=$(mktemp -d)
trap 'rm -rf "$prefix_root"' EXIT
export WINEPREFIX="$prefix_root/prefix" WINEDEBUG=-all
# The prefix is made complete before the first test: Wine's first start
# builds it, and the Wine server is waited for until every program of
# that start has ended. The runtimes for other languages and for web pages
# are not installed, so that no installer waits for an answer. Programs
# run in Wine's own desktop window, which keeps maximised windows
# maximised where no window manager runs.
timeout --kill-after=10 600 xvfb-run -a sh -c '
  WINEDLLOVERRIDES="mscoree,mshtml=" wineboot --init >/dev/null 2>&1
  wine reg add "HKCU\\Software\\Wine\\Explorer" /v Desktop /d Default /f >/dev/null
  wine reg add "HKCU\\Software\\Wine\\Explorer\\Desktops" /v Default /d 1280x1024 /f >/dev/null
  wineserver -w'
for file in system.reg user.reg drive_c/windows/system32/user32.dll; do
  [ -s "$WINEPREFIX/$file" ] || { echo "the Wine prefix lacks $file after its first start"; exit 1; }
done
grep -q '"Default"="1280x1024"' "$WINEPREFIX/user.reg" ||
  { echo "the Wine prefix has no desktop window set up"; exit 1; }

# One program at a time: runs share the prefix's Wine server.
ctest --test-dir "$folder" --output-on-failure -j 1
