# Desktop integration and executable metadata: an install into a scratch
# prefix, the desktop entry and metainfo through their validators, and the
# Windows resource script compiled into a small executable whose resources
# are listed and compared with the icon files.
set -euo pipefail
. "$(dirname "$0")/../lib.sh"
ensure_packages desktop-file-utils appstream gcc-mingw-w64-i686 icoutils imagemagick

build="$ROOT/build/ci"
configure_and_build "$build" -DQUILLFEN_WERROR=ON
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() {
  echo "packaging: $*" >&2
  exit 1
}

# The identifier and version as the version record holds them.
record_value() {
  sed -n "s/^set($1 \"\(.*\)\")/\1/p" "$ROOT/packaging/version.cmake"
}
record_number() {
  sed -n "s/^set($1 \([0-9]*\))/\1/p" "$ROOT/packaging/version.cmake"
}
app_id=$(record_value QUILLFEN_APP_ID)
# Releases are numbered from the version record's numbers; its text fields
# keep the Windows form.
release=$(record_number QUILLFEN_VERSION_MAJOR).$(record_number QUILLFEN_VERSION_MINOR).$(record_number \
  QUILLFEN_VERSION_BUILD)
[ -n "$app_id" ] && [[ $release =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] ||
  fail "version.cmake names no application identifier or version"

prefix="$scratch/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
desktop="$prefix/share/applications/$app_id.desktop"
metainfo="$prefix/share/metainfo/$app_id.metainfo.xml"
for file in "$prefix/bin/quillfen" "$desktop" "$metainfo" \
  "$prefix/share/icons/hicolor/scalable/apps/$app_id.svg"; do
  [ -s "$file" ] || fail "${file#"$prefix"/} was not installed"
done
# The icon theme asks for 48 px at least; software centres fetch 64 px.
for size in 16 32 48 64 128 256; do
  icon="$prefix/share/icons/hicolor/${size}x$size/apps/$app_id.png"
  [ -s "$icon" ] || fail "the ${size}x$size icon was not installed"
  cmp "$ROOT/packaging/icons/${size}x$size/quillfen.png" "$icon" ||
    fail "the installed ${size}x$size icon is not the packaged one"
  [ "$(identify -format '%wx%h' "$icon")" = "${size}x$size" ] || fail "the ${size}x$size icon has another size"
done
grep -qx "Icon=$app_id" "$desktop" || fail "the desktop entry does not name the icon $app_id"

# The validators exit 0 on warnings and hints; any of them fails here.
report=$(desktop-file-validate "$desktop" 2>&1) || true
[ -z "$report" ] || fail "desktop-file-validate: $report"
report=$(timeout 60 appstreamcli validate --pedantic --no-net --format=yaml "$metainfo" 2>&1) ||
  fail "appstreamcli validate: $report"
if grep -q '^Issues:' <<<"$report" || grep -q 'tag:' <<<"$report"; then
  fail "appstreamcli validate --pedantic: $report"
fi
grep -qF "<id>$app_id</id>" "$metainfo" || fail "the metainfo is not named $app_id"
grep -qF "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
  fail "the metainfo does not launch $app_id.desktop"
grep -qF "<release version=\"$release\"" "$metainfo" || fail "the metainfo has no release $release"
grep -qF "<project_license>MIT</project_license>" "$metainfo" && grep -qx "MIT License" "$ROOT/LICENSE" ||
  fail "the metainfo's licence is not the one in LICENSE"
grep -qx "CMAKE_PROJECT_VERSION:STATIC=$release" "$build/CMakeCache.txt" ||
  fail "the project's version is not $release"

# Windows resources, from the script the Linux build configures too.
rc="$build/packaging/quillfen.rc"
i686-w64-mingw32-windres "$rc" -O coff -o "$scratch/resources.o"
echo 'int main(void) { return 0; }' >"$scratch/probe.c"
i686-w64-mingw32-gcc -mwindows "$scratch/probe.c" "$scratch/resources.o" -o "$scratch/probe.exe"
listed=$(wrestool -l "$scratch/probe.exe" | sed -E 's/ \[.*//' | sort)
expected=$(printf -- '--type=%s --language=1033\n' '3 --name=30001' '3 --name=30002' '3 --name=30003' \
  '14 --name=1' '16 --name=1' '24 --name=1' | sort)
[ "$listed" = "$expected" ] || fail "resources listed:"$'\n'"$listed"$'\n'"expected:"$'\n'"$expected"
for id in 30001 30002 30003; do
  wrestool -x --raw --type=3 --name=$id "$scratch/probe.exe" | cmp - "$ROOT/packaging/icons/rc/icon_$id.bin" ||
    fail "icon image $id differs from the packaged one"
done
wrestool -x --raw --type=14 --name=1 "$scratch/probe.exe" | cmp - "$ROOT/packaging/icons/rc/icon_group.bin" ||
  fail "icon group 1 differs from the packaged one"

version=$(i686-w64-mingw32-windres -i "$scratch/resources.o" -O rc | sed -n '/VERSIONINFO/,/^END/p')
for line in 'FILEVERSION 1, 0, 0, 0' 'PRODUCTVERSION 1, 0, 0, 0' 'FILEOS 0x4' 'FILETYPE 0x1' \
  'BLOCK "040904B0"' 'VALUE "ProductName", "Quillfen"' 'VALUE "FileVersion", "1.00"' \
  'VALUE "ProductVersion", "1.00"' 'VALUE "InternalName", "Quillfen"' \
  'VALUE "OriginalFilename", "Quillfen.exe"' 'VALUE "Translation", 0x409, 1200'; do
  grep -qxF "$line" <<<"$(sed -E 's/^ +//' <<<"$version")" || fail "version record lacks: $line"$'\n'"$version"
done
# The listing leaves out file flags of 0.
if grep -q FILEFLAGS' ' <<<"$version"; then fail "file flags are not 0"; fi
echo "packaging: install, desktop entry, metainfo and Windows resources are as expected"
