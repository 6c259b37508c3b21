#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Zorvik need, when missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-svg-dev
    libqt6sql6-sqlite libqt6sql6-odbc
    libjpeg62-turbo-dev
    unixodbc unixodbc-dev odbcinst tdsodbc libsqliteodbc libsqlite3-dev
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    clang libclang-rt-14-dev clang-format
    xvfb xauth fonts-dejavu-core
    poppler-utils python3
    dpkg-dev file
    lintian appstream desktop-file-utils man-db groff-base bsdextrautils
    qt6-l10n-tools qt6-translations-l10n
    qt6-httpserver-dev qt6-websockets-dev libqrencode-dev
    chromium zbar-tools openssl
)

# Node.js runs the T-SQL check of the tests' statements; a Node.js installed otherwise (with its
# own npm) is used as it is.
if ! command -v npm >/dev/null 2>&1; then
    packages+=(nodejs npm)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The ODBC drivers register themselves on install; make sure both are known to unixODBC.
if ! odbcinst -q -d 2>/dev/null | grep -q '^\[SQLite3\]'; then
    echo "warning: the SQLite3 ODBC driver is not registered with unixODBC" >&2
fi

# The npm packages of the checks.
bash "$(dirname "$0")/npm-deps.sh"
