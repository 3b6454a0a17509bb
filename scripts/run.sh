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

# True when the control can use a real radio. The control has no BlueZ
# backend yet, so there is none to use, whatever adapter the machine has.
real_radio_usable() {
  return 1
}

args=("$@")
case " $* " in
  *" --simulate "*) ;;
  *)
    if ! real_radio_usable; then
      echo "No usable Bluetooth adapter (this build of the control has no BlueZ backend yet):" >&2
      echo "starting the demo on simulated gauges. Readings shown are not real measurements." >&2
      args=(--simulate "${args[@]}")
    fi
    ;;
esac
exec build/bin/quenconnect "${args[@]}"
