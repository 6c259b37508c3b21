#!/usr/bin/env bash
# Builds Zorvik (warnings as errors) and runs every test through CTest; then the sanitizer and
# fuzzing runs.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh -DZORVIK_WERROR=ON
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure --timeout 600 -j "$(nproc)"
# The Debian package, installed into a scratch root and started from there.
bash scripts/package-check.sh
if [ "${ZORVIK_QUICK:-0}" != "1" ]; then
    bash scripts/checks.sh
fi
