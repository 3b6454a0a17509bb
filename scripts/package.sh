#!/usr/bin/env bash
# Builds the Debian package: a release build below /usr, packed by CPack
# into build-package/quenconnect_<version>_<arch>.deb.
# Usage: scripts/package.sh [--check]
#   --check  also checks the package's contents and runs lintian on it
set -euo pipefail
cd "$(dirname "$0")/.."

check=0
for arg in "$@"; do
  case "$arg" in
    --check) check=1 ;;
    *) echo "unknown option: $arg" >&2; exit 2 ;;
  esac
done

bash scripts/install-deps.sh

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DQC_BUILD_TESTS=OFF "${launcher[@]}" >/dev/null
cmake --build build-package -j "$(nproc)"
rm -f build-package/quenconnect_*.deb
(cd build-package && cpack -G DEB >/dev/null)
deb=$(find build-package -maxdepth 1 -name 'quenconnect_*.deb' | head -n 1)
[ -n "$deb" ] || { echo "no package was built" >&2; exit 1; }

if [ "$check" -eq 1 ]; then
  bash tests/dist/package_test.sh build-package "$deb"
fi
echo "$deb"
