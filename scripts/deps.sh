#!/usr/bin/env bash
# Installs the Debian packages Zorvik needs, when missing.
#   deps.sh            what building, running and testing need (the test command)
#   deps.sh --program  only what building and running the program needs (the demo command)
# Works on Debian 12 and 13 (package names that differ between them are looked up).
set -euo pipefail

scope=all
if [ "${1:-}" = "--program" ]; then scope=program; fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
updated=0
update() {
    if [ "$updated" = 0 ]; then
        $sudo apt-get update -qq
        updated=1
    fi
}

# The program: compiler, Qt, the SQL and ODBC drivers, SQLite (its collation), JPEG, the
# share's HTTP server and QR codes, the keyring client, the journal, the Serbian translation.
packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-svg-dev
    libqt6sql6-sqlite libqt6sql6-odbc
    libjpeg62-turbo-dev libsqlite3-dev
    unixodbc unixodbc-dev odbcinst tdsodbc
    qt6-l10n-tools qt6-translations-l10n
    qt6-httpserver-dev qt6-websockets-dev libqrencode-dev
    qtkeychain-qt6-dev libsecret-1-0 libsystemd-dev
    xvfb xauth fonts-dejavu-core
)

if [ "$scope" = all ]; then
    # The tests, the checks and the package check: GoogleTest and Google Benchmark, clang with
    # its sanitizer run-time (its version is the one Debian's clang is), the SQLite ODBC driver,
    # the readers the tests check output with, a Secret Service in a private D-Bus session.
    if ! dpkg-query -W -f='${Status}' clang 2>/dev/null | grep -q "install ok installed" &&
        ! apt-cache show clang >/dev/null 2>&1; then
        update
    fi
    clang_version=$(apt-cache depends clang 2>/dev/null | sed -n 's/^ *Depends: clang-\([0-9][0-9]*\)$/\1/p' | head -n 1)
    if [ -z "$clang_version" ]; then
        update
        clang_version=$(apt-cache depends clang | sed -n 's/^ *Depends: clang-\([0-9][0-9]*\)$/\1/p' | head -n 1)
    fi
    packages+=(
        libsqliteodbc
        libgtest-dev libgmock-dev googletest libbenchmark-dev
        clang "libclang-rt-${clang_version}-dev" clang-format
        poppler-utils python3
        dpkg-dev file
        lintian appstream desktop-file-utils man-db groff-base bsdextrautils
        chromium zbar-tools openssl
        dbus-daemon gnome-keyring
    )
    # Node.js runs the T-SQL check of the tests' statements; a Node.js installed otherwise (with
    # its own npm) is used as it is.
    if ! command -v npm >/dev/null 2>&1; then
        packages+=(nodejs npm)
    fi
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    update
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The ODBC drivers register themselves on install; make sure both are known to unixODBC.
if [ "$scope" = all ] && ! odbcinst -q -d 2>/dev/null | grep -q '^\[SQLite3\]'; then
    echo "warning: the SQLite3 ODBC driver is not registered with unixODBC" >&2
fi

# The npm packages of the checks.
if [ "$scope" = all ]; then
    bash "$(dirname "$0")/npm-deps.sh"
fi
