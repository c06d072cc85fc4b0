# Shared by the project's scripts: package installation and build folders.
# shellcheck shell=bash

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
JOBS=$(nproc 2>/dev/null || echo 2)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs the Debian packages among "$@" that are not installed yet.
ensure_packages() {
  local missing=()
  local package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  if [ -z "${QUILLFEN_APT_UPDATED:-}" ]; then
    as_root apt-get update -qq
    QUILLFEN_APT_UPDATED=1
  fi
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# What the program needs to build, and what its tests and benchmarks add.
# The toolkit's translations: the menus in the user's language. Unicode's
# data files and Python write the text engine's bidi tables at build time.
BUILD_PACKAGES=(build-essential cmake python3 unicode-data qt6-base-dev libgl-dev libxcb1-dev qt6-translations-l10n)
TEST_PACKAGES=(googletest libgtest-dev libgmock-dev libbenchmark-dev)
# Fonts with Arabic, Hebrew and colour emoji, so that the text boxes' tests
# shape and compare real glyphs rather than boxes for missing ones.
FONT_PACKAGES=(fonts-dejavu-core fonts-noto-color-emoji)

# configure_and_build FOLDER [cmake options...]
configure_and_build() {
  local folder=$1
  shift
  cmake -S "$ROOT" -B "$folder" -DCMAKE_BUILD_TYPE=Release "$@" >"$folder.configure.log" 2>&1 ||
    { cat "$folder.configure.log"; return 1; }
  cmake --build "$folder" -j "$JOBS"
}
