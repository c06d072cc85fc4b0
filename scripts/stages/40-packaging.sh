# Desktop integration and executable metadata: an install into a scratch
# prefix, the desktop entry and metainfo through their validators, and the
# Windows resource script compiled into a small executable whose resources
# are listed and compared with the icon files.
set -euo pipefail
. "$(dirname "$0")/../lib.sh"
ensure_packages desktop-file-utils appstream gcc-mingw-w64-i686 icoutils

build="$ROOT/build/ci"
configure_and_build "$build" -DQUILLFEN_WERROR=ON
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() {
  echo "packaging: $*" >&2
  exit 1
}

prefix="$scratch/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
for file in bin/quillfen share/applications/quillfen.desktop share/metainfo/quillfen.metainfo.xml \
  share/icons/hicolor/16x16/apps/quillfen.png share/icons/hicolor/32x32/apps/quillfen.png; do
  [ -s "$prefix/$file" ] || fail "$file was not installed"
done
cmp "$ROOT/packaging/icons/32x32/quillfen.png" "$prefix/share/icons/hicolor/32x32/apps/quillfen.png" ||
  fail "the installed 32x32 icon is not the packaged one"

# The validator exits 0 on warnings and hints; any of them fails here.
report=$(desktop-file-validate "$prefix/share/applications/quillfen.desktop" 2>&1) || true
[ -z "$report" ] || fail "desktop-file-validate: $report"
# The program has no domain of its own to name itself by in reverse order,
# so a plain identifier is accepted; everything else must pass.
timeout 60 appstreamcli validate --no-net --override=cid-desktopapp-is-not-rdns=info \
  "$prefix/share/metainfo/quillfen.metainfo.xml"
grep -q '<release version="1.0"' "$prefix/share/metainfo/quillfen.metainfo.xml" ||
  fail "metainfo has no release 1.0"

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
