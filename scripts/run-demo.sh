#!/usr/bin/env bash
# Builds the program alone (no tests, no benchmarks) in build-demo/ and starts it on the embedded
# demo database. Installs only the packages the program needs.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh --program
cmake -S . -B build-demo -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORVIK_TESTS=OFF -DZORVIK_BENCH=OFF >/dev/null
cmake --build build-demo --parallel "$(nproc)" --target zorvik
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display found: starting Zorvik inside a virtual X server (xvfb-run)."
    exec xvfb-run -a -s "-screen 0 1600x1000x24" ./build-demo/src/zorvik --demo "$@"
fi
exec ./build-demo/src/zorvik --demo "$@"
