#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a scratch root with dpkg -x and starts the installed
# program from there: it must find its report templates, its sound and its language libraries,
# and run the demo under the offscreen platform without falling over.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
cmake --build "$build" --target zorvik
build=$(cd "$build" && pwd)
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls -t "$build"/zorvik_*.deb | head -n1)
echo "package: $deb"
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || { echo "the package declares no Qt dependency" >&2; exit 1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dpkg -x "$deb" "$scratch/root"
program="$scratch/root/usr/lib/zorvik/zorvik"
test -x "$program"
test -L "$scratch/root/usr/bin/zorvik"
test -f "$scratch/root/usr/share/applications/zorvik.desktop"
test -f "$scratch/root/usr/share/icons/hicolor/scalable/apps/zorvik.svg"
# Installed files are read-only to the user who runs the program.
chmod -R a-w "$scratch/root/usr/lib/zorvik"

export QT_QPA_PLATFORM=offscreen HOME="$scratch/home" XDG_RUNTIME_DIR="$scratch/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
cd "$scratch" # no Reports/ here: the templates must come from the program folder
"$program" --check-install | tee "$scratch/check.txt"
# Every language library built beside the program must be found in the installed folder too.
for lib in "$build"/src/*.so; do
    [ -e "$lib" ] || continue
    grep -q "language library: .*/$(basename "$lib")\$" "$scratch/check.txt" ||
        { echo "installed program does not find $(basename "$lib")" >&2; exit 1; }
done
grep -q "writes  to: $HOME/" "$scratch/check.txt"

# The demo from the installed folder: still running after a few seconds means it started.
set +e
timeout 15 "$program" --demo --nosplash >"$scratch/demo.log" 2>&1
rc=$?
set -e
if [ "$rc" -ne 124 ]; then
    echo "the installed program ended early (exit $rc):" >&2
    cat "$scratch/demo.log" >&2
    exit 1
fi
test -n "$(find "$HOME/.local/share/Orvane" -name '*.sqlite' -o -name '*.db' | head -n1)"
echo "package check passed"
