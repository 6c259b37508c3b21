#!/usr/bin/env bash
# Builds Zorvik and starts it the way a real site runs it: against SQL Server through the
# FreeTDS ODBC driver, here the project's SQL Server stand-in serving a fresh demo database
# while its clocking simulator adds clockings. Settings, sample panels and the stand-in's event
# log live in a folder of their own; your real settings and the SQLite demo are not touched.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh

folder="${XDG_DATA_HOME:-$HOME/.local/share}/Orvane/ZorvikTds"
mkdir -p "$folder"
events="$folder/standin.log"
settings="$folder/settings.ini"

./build/tools/standin/tds_standin --demo-employees 150 --database "$folder/attendance.sqlite" \
    --samples "$folder" --simulate 4000 >"$events" 2>&1 &
standin=$!
trap 'kill "$standin" 2>/dev/null; wait "$standin" 2>/dev/null || true' EXIT

port=""
for _ in $(seq 1 600); do
    port=$(sed -n 's/^listening on port \([0-9][0-9]*\)$/\1/p' "$events" | head -n 1)
    [ -n "$port" ] && break
    if ! kill -0 "$standin" 2>/dev/null; then
        cat "$events" >&2
        exit 1
    fi
    sleep 0.1
done
if [ -z "$port" ]; then
    echo "The SQL Server stand-in did not start; see $events" >&2
    exit 1
fi

connection="Connection=\"Driver={FreeTDS};Server=127.0.0.1;Port=$port;TDS_Version=7.4;ClientCharset=UTF-8;Database=att;UID=zorvik;PWD=demo\""
if [ ! -f "$settings" ]; then
    cat >"$settings" <<INI
[Settings]
$connection
Refresh=5
AutoShowPresences=1

[AutoLoad]
Count=2
File0=$folder/Reception.zvl
File1=$folder/All staff.zvl

[RollCall]
Activities="1,10,11,4,5"
INI
else
    # The port changes from run to run: only the connection string is replaced.
    awk -v line="$connection" '
        /^\[/ { if (inSettings && !done) { print line; done = 1 } inSettings = ($0 == "[Settings]"); print; next }
        inSettings && tolower($0) ~ /^connection=/ { next }
        { print }
        END { if (!done) { if (!inSettings) print "[Settings]"; print line } }' "$settings" >"$settings.new"
    mv "$settings.new" "$settings"
fi
chmod 600 "$settings"

echo "SQL Server stand-in on port $port; what reaches it is logged in $events"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display found: starting Zorvik inside a virtual X server (xvfb-run)."
    xvfb-run -a -s "-screen 0 1600x1000x24" ./build/src/zorvik --settings="$settings" "$@"
else
    ./build/src/zorvik --settings="$settings" "$@"
fi
