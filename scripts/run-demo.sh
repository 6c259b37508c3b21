#!/usr/bin/env bash
# Builds Zorvik and starts it on the embedded demo database.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display found: starting Zorvik inside a virtual X server (xvfb-run)."
    exec xvfb-run -a -s "-screen 0 1600x1000x24" ./build/src/zorvik --demo "$@"
fi
exec ./build/src/zorvik --demo "$@"
