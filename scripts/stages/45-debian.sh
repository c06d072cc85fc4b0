# The Debian package of the release build: checked by lintian, installed
# with apt-get, the installed program started on a virtual X server where
# it converts one text, and the package removed again.
set -euo pipefail
. "$(dirname "$0")/../lib.sh"
ensure_packages lintian dpkg-dev file man-db xvfb openbox xdotool xclip x11-utils imagemagick python3 \
  fonts-dejavu-core

fail() {
  echo "debian: $*" >&2
  exit 1
}

build="$ROOT/build/ci"
[ -f "$build/CMakeCache.txt" ] || configure_and_build "$build" -DQUILLFEN_WERROR=ON
deb=$("$ROOT/scripts/package" "$build" | tail -n 1)
[ -f "$deb" ] || fail "no package was made"
dpkg-deb --info "$deb"
dpkg-deb --contents "$deb"

# lintian gives no error and no warning; the notes it still gives (I:) are
# accepted:
#   hardening-no-bindnow, hardening-no-fortify-functions: the build takes
#     the project's own compiler flags, not the set dpkg-buildflags adds to
#     Debian's own packages;
#   binary-has-unneeded-section .comment: CPack strips without removing the
#     compiler's version note, which is harmless.
report=$(lintian --display-info --pedantic --fail-on none "$deb" 2>&1)
echo "$report"
if grep -qE '^(E|W): ' <<<"$report"; then fail "lintian found errors or warnings"; fi

# A quillfen installed before would be replaced and then removed, so the
# stage stops instead; the package it installs goes again however it ends.
if dpkg-query -W -f='${Status}' quillfen 2>/dev/null | grep -q 'install ok installed'; then
  fail "quillfen is installed on this machine already; remove it before this stage"
fi
trap 'as_root env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq quillfen >/dev/null || true' EXIT
# apt-get takes a package file only by a path with a slash in it.
(cd "$(dirname "$deb")" && as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
  --no-install-recommends "./$(basename "$deb")")
for file in /usr/bin/quillfen /usr/bin/quillfen-format /usr/share/man/man1/quillfen.1.gz \
  /usr/share/doc/quillfen/copyright /usr/share/doc/quillfen/changelog.gz; do
  [ -e "$file" ] || fail "$file was not installed"
done
[ "$(printf '{"a":1,"b":[2]}' | /usr/bin/quillfen-format)" = $'{\r\n"a":1\r\n"b":[2]\r\n}' ] ||
  fail "the installed quillfen-format does not convert"
timeout 120 "$ROOT/tests/e2e/run.sh" /usr/bin/quillfen --convert-one --artifacts "$ROOT/build/e2e-installed"

as_root env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq quillfen >/dev/null
trap - EXIT
[ ! -e /usr/bin/quillfen ] || fail "/usr/bin/quillfen is left after removing the package"
echo "debian: the package passes lintian, installs, converts and is removed again"
