#!/usr/bin/env bash
# Builds the Debian package from a build tree, checks its contents list, its
# control fields and maintainer scripts, and runs lintian on it (no errors).
# Usage: package_test.sh <build dir> [package file]
# With a package file, checks that file instead of building one.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

if [ $# -ge 2 ]; then
  deb=$2
else
  (cd "$work" && cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1) || {
    cat "$work/cpack.log" >&2
    fail "cpack"
  }
  deb=$(find "$work/out" -maxdepth 1 -name 'quenconnect_*.deb' | head -n 1)
fi
[ -f "$deb" ] || fail "no package built"

dpkg-deb -c "$deb" | awk '{print $6}' | sed 's#^\./#/#' >"$work/contents"
app_id=de.quen.QuenConnect
for f in /usr/bin/quenconnect /usr/bin/vornikctl /usr/bin/quenconnect-cli /usr/include/vornik220.h \
  /usr/share/quenconnect/Quenlogo.jpg /usr/share/quenconnect/DE_Manual_Quen_Connect.pdf \
  /usr/share/quenconnect/EN_Manual_Quen_Connect.pdf /usr/share/applications/$app_id.desktop \
  /usr/share/metainfo/$app_id.metainfo.xml /usr/share/icons/hicolor/scalable/apps/$app_id.svg \
  /usr/share/icons/hicolor/48x48/apps/$app_id.png /usr/share/icons/hicolor/256x256/apps/$app_id.png \
  /usr/share/man/man1/quenconnect.1.gz /usr/share/man/man1/vornikctl.1.gz /usr/share/man/man1/quenconnect-cli.1.gz \
  /usr/share/doc/quenconnect/copyright /usr/share/doc/quenconnect/changelog.gz; do
  grep -qxF "$f" "$work/contents" || fail "$f not in the package"
done
grep -qE '^/usr/lib/([a-z0-9_-]+/)?libvornik220\.so\.2$' "$work/contents" || fail "libvornik220.so.2 not in the package"
if grep -vE '^/usr(/|$)' "$work/contents" | grep -q .; then
  fail "files outside /usr: $(grep -vE '^/usr(/|$)' "$work/contents" | tr '\n' ' ')"
fi
# Nothing of the tests or the benchmarks.
if grep -qE '_test$|/bench_|gtest' "$work/contents"; then
  fail "test files in the package"
fi

# Dependencies come from the shared libraries.
depends=$(dpkg-deb -f "$deb" Depends)
for dep in libc6 libqt6widgets6 libqt6core6; do
  grep -q "$dep" <<<"$depends" || fail "Depends lacks $dep: $depends"
done
[ "$(dpkg-deb -f "$deb" Package)" = quenconnect ] || fail "package name"

dpkg-deb -e "$deb" "$work/control"
for script in postinst prerm postrm; do
  [ -x "$work/control/$script" ] || fail "$script missing or not executable"
  sh -n "$work/control/$script" || fail "$script is not valid shell"
done
grep -q -- '--register system' "$work/control/postinst" || fail "postinst does not register the control"
grep -q -- '--unregister system' "$work/control/prerm" || fail "prerm does not unregister the control"

if command -v lintian >/dev/null; then
  lintian --no-tag-display-limit "$deb" >"$work/lintian.log" 2>&1 || true
  if grep -q '^E: ' "$work/lintian.log"; then
    grep '^E: ' "$work/lintian.log" >&2
    fail "lintian reports errors"
  fi
  grep -E '^(W|I): ' "$work/lintian.log" || true
fi
echo "package checked: $(basename "$deb")"
