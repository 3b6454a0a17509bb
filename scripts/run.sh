#!/usr/bin/env bash
# Installs what is missing, builds and starts Quen Connect. Without a usable
# Bluetooth radio it starts the demo on simulated gauges and says so.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found: start Quen Connect from a desktop session, or run it under xvfb-run." >&2
  exit 1
fi

# The program picks the radio itself: the computer's Bluetooth adapter when
# the control finds one, else the demo on simulated gauges (it says so on
# the terminal and marks its windows "[DEMO]"). --simulate forces the demo.
exec build/bin/quenconnect "$@"
