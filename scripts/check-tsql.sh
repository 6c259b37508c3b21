#!/usr/bin/env bash
# Parses as T-SQL every statement the SQL Server stand-in received in the tests (the folder of
# statement logs that CTest's tsql_check names), with node-sql-parser (scripts/npm-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:?usage: check-tsql.sh FOLDER-OF-STATEMENT-LOGS}
if [ ! -d tools/tsqlcheck/node_modules/node-sql-parser ]; then
    echo "node-sql-parser is not installed: run scripts/npm-deps.sh (scripts/deps.sh does)" >&2
    exit 1
fi
exec node tools/tsqlcheck/check.mjs "$dir"
