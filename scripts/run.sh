#!/usr/bin/env bash
# Installs what is missing, builds and starts Quen Connect.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found: start Quen Connect from a desktop session, or run it under xvfb-run." >&2
  exit 1
fi
exec build/bin/quenconnect "$@"
