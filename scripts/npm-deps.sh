#!/usr/bin/env bash
# Installs the npm packages of the checks (tools/tsqlcheck: node-sql-parser) as the lock file
# pins them, when missing or older than the lock file.
set -euo pipefail
cd "$(dirname "$0")/.."
installed=tools/tsqlcheck/node_modules/.package-lock.json
if [ ! -f "$installed" ] || [ tools/tsqlcheck/package-lock.json -nt "$installed" ]; then
    npm ci --prefix tools/tsqlcheck --no-audit --no-fund --loglevel=error
fi
