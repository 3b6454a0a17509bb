#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks the installation:
# the files in their places, the installed programs run, the desktop entry,
# AppStream metadata and man pages are valid, and the package's maintainer
# scripts register the control and remove it again.
# Usage: install_test.sh <build dir> <source dir> <cli: 0|1>
set -euo pipefail
build=$1
source=$2
has_cli=$3
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$dest" cmake --install "$build" --prefix /usr >"$dest/install.log" || {
  cat "$dest/install.log" >&2
  fail "cmake --install"
}
root=$dest/usr
app_id=de.quen.QuenConnect
lib=$(find "$root/lib" -name 'libvornik220.so.2' | head -n 1)
[ -n "$lib" ] || fail "libvornik220.so.2 not installed"

# Every file in its place.
expected=(
  bin/quenconnect bin/vornikctl
  include/vornik220.h include/vornik_events.h include/vornik_registry.h include/vornik_loader.h
  share/quenconnect/Quenlogo.jpg share/quenconnect/Quen.ico share/quenconnect/QuenConnect_256.png
  share/quenconnect/DE_Manual_Quen_Connect.pdf share/quenconnect/EN_Manual_Quen_Connect.pdf
  share/applications/$app_id.desktop share/metainfo/$app_id.metainfo.xml
  share/icons/hicolor/scalable/apps/$app_id.svg
  share/man/man1/quenconnect.1.gz share/man/man1/vornikctl.1.gz share/man/man1/quenconnect-cli.1.gz
  share/doc/quenconnect/copyright share/doc/quenconnect/changelog.gz
)
for size in 16 22 24 32 48 64 128 256 512; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/$app_id.png")
done
[ "$has_cli" = 1 ] && expected+=(bin/quenconnect-cli)
for f in "${expected[@]}"; do
  [ -s "$root/$f" ] || fail "$f missing or empty"
done
for f in bin/quenconnect bin/vornikctl; do
  [ -x "$root/$f" ] || fail "$f not executable"
done

# Each raster icon is a PNG of the size of its folder.
for size in 16 22 24 32 48 64 128 256 512; do
  python3 - "$root/share/icons/hicolor/${size}x${size}/apps/$app_id.png" "$size" <<'PY' || fail "icon ${size}x${size}"
import struct, sys
data = open(sys.argv[1], "rb").read(24)
assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
width, height = struct.unpack(">II", data[16:24])
assert (width, height) == (int(sys.argv[2]),) * 2, (width, height)
PY
done

# The installed programs run from there, with nothing of the build tree.
export QUENCONNECT_SETTINGS_DIR=$dest/settings QUENCONNECT_DATA_DIR=$dest/data
[ "$("$root/bin/quenconnect" --version)" = "Quen Connect V1.10" ] || fail "quenconnect --version"
help=$("$root/bin/quenconnect" --help) || fail "quenconnect --help exit status"
for word in "Usage: quenconnect" --simulate --version --help QUENCONNECT_SETTINGS_DIR; do
  grep -qF -- "$word" <<<"$help" || fail "quenconnect --help lacks $word"
done
"$root/bin/vornikctl" --help | grep -q '^Usage: vornikctl' || fail "vornikctl --help"
if [ "$has_cli" = 1 ]; then
  "$root/bin/quenconnect-cli" --help >/dev/null || fail "quenconnect-cli --help"
fi
out=$("$root/bin/vornikctl" --sim --module "$lib" get Timeout) || fail "installed vornikctl cannot use the installed control"
[ -n "$out" ] || fail "vornikctl get Timeout printed nothing"

# Desktop entry, AppStream metadata, man pages.
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root/share/applications/$app_id.desktop" || fail "desktop-file-validate"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$root/share/metainfo/$app_id.metainfo.xml" || fail "appstreamcli validate"
fi
for page in quenconnect vornikctl quenconnect-cli; do
  warnings=$(zcat "$root/share/man/man1/$page.1.gz" | LC_ALL=C.UTF-8 groff -man -ww -z -Tutf8 2>&1)
  [ -z "$warnings" ] || fail "man page $page: $warnings"
done

# The maintainer scripts, pointed at the temporary root.
scripts=$build/dist/debian
export XDG_DATA_HOME=$dest/home-data
for script in postinst prerm postrm; do
  sed -e "s#/usr/#$root/#g" "$scripts/$script" >"$dest/$script"
done
registry=$root/share/inproc-servers/classes.reg
sh "$dest/postinst" configure >/dev/null || fail "postinst configure"
grep -qF "@=\"$root/lib" "$registry" || fail "postinst did not register the installed module"
grep -qi '^\[CLSID\\' "$registry" || fail "no class key after postinst"
sh "$dest/prerm" upgrade || fail "prerm upgrade"
grep -qi '^\[CLSID\\' "$registry" || fail "prerm upgrade removed the registration"
sh "$dest/prerm" remove || fail "prerm remove"
! grep -q '^\[' "$registry" || fail "prerm remove left keys: $(cat "$registry")"
sh "$dest/postrm" purge || fail "postrm purge"
[ ! -e "$registry" ] || fail "postrm purge left the empty registry"
echo "installation checked"
