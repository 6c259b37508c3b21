#!/usr/bin/env bash
# Builds the Debian package and checks it as a distribution would: lintian (pedantic) on it and
# on its debug-symbols package, the AppStream metainfo and the desktop file validated, the manual
# page against --help. Then unpacks it into a scratch root with dpkg -x and starts the installed
# program from there: with no display it must say where it finds its templates, sound and
# language libraries (the installed folders) and its version; under the offscreen platform it
# must run the demo.
set -euo pipefail
cd "$(dirname "$0")/.."
source=$PWD
build=${BUILD_DIR:-build}
cmake --build "$build" --target zorvik
build=$(cd "$build" && pwd)
rm -f "$build"/zorvik_*.deb "$build"/zorvik-dbgsym_*.deb
(cd "$build" && umask 022 && cpack -G DEB >/dev/null)
deb=$(ls "$build"/zorvik_*.deb)
dbgsym=$(ls "$build"/zorvik-dbgsym_*.deb)
echo "package: $deb"
fail() {
    echo "package check: $*" >&2
    exit 1
}

# What lintian finds, overrides with their reasons aside, is an error or a warning: both fail.
echo "== lintian --pedantic"
lintian --pedantic --display-info --fail-on error,warning --tag-display-limit 0 "$deb" "$dbgsym" ||
    fail "lintian reports errors or warnings (above)"

version=$(dpkg-deb -f "$deb" Version)
[[ $version == *-* ]] || fail "version $version has no Debian revision"
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "the package declares no Qt dependency"
# An exact Qt release in the dependencies (a "-abi (= 6.4.2)") would keep the package off every
# other Debian release.
if dpkg-deb -f "$deb" Depends | grep -E -- '-abi \(= '; then
    fail "the package is tied to one Qt release (above)"
fi
dpkg-deb -f "$dbgsym" Depends | grep -qF "zorvik (= $version)" || fail "the debug symbols are not tied to $version"

scratch=$(mktemp -d)
trap 'chmod -R u+w "$scratch"; rm -rf "$scratch"' EXIT
root=$scratch/root
dpkg -x "$deb" "$root"
dpkg -x "$dbgsym" "$scratch/dbgsym"
lib=$root/usr/lib/zorvik
share=$root/usr/share/zorvik
program=$lib/zorvik
test -x "$program" || fail "no program in /usr/lib/zorvik"
test -L "$root/usr/bin/zorvik" || fail "no /usr/bin/zorvik"
test -f "$root/usr/share/icons/hicolor/scalable/apps/zorvik.svg" || fail "no icon"

echo "== AppStream and desktop file"
metainfo=$(ls "$root"/usr/share/metainfo/*.metainfo.xml)
appstreamcli validate --pedantic --no-net "$metainfo"
# The tree as installed: the metainfo's launchable names a desktop file that is there.
appstreamcli validate-tree --pedantic --no-net "$root"
app_id=$(basename "$metainfo" .metainfo.xml)
desktop=$root/usr/share/applications/$app_id.desktop
desktop-file-validate "$desktop"
grep -q '^Keywords=' "$desktop" || fail "the desktop file has no Keywords"

echo "== stripped program, debug symbols apart, no build folder inside"
for elf in "$program" "$lib"/*.so; do
    file -b "$elf" | grep -q ', stripped' || fail "$elf is not stripped"
    id=$(readelf -n "$elf" | sed -n 's/.*Build ID: \([0-9a-f]*\)/\1/p')
    test -f "$scratch/dbgsym/usr/lib/debug/.build-id/${id:0:2}/${id:2}.debug" ||
        fail "no debug symbols for $(basename "$elf") (build ID $id)"
done
if grep -rlF -e "$source/src/" -e "$build/src" "$root" "$scratch/dbgsym"; then
    fail "the files above name the folder they were built in"
fi

echo "== manual page"
page=$root/usr/share/man/man1/zorvik.1.gz
LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>"$scratch/man.err" >/dev/null
[ ! -s "$scratch/man.err" ] || { cat "$scratch/man.err" >&2; fail "the manual page has formatting errors"; }
MANWIDTH=200 man -l "$page" 2>/dev/null | col -b >"$scratch/man.txt"
# Installed files are read-only to the user who runs the program.
chmod -R a-w "$lib" "$share"

# From here on the program runs as a user runs it, from a folder without Reports/.
export HOME=$scratch/home XDG_RUNTIME_DIR=$scratch/run
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
cd "$scratch"
nodisplay=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
"${nodisplay[@]}" "$program" --help >"$scratch/help.txt"
for option in $(grep -o -- '--[a-z][a-z-]*' "$scratch/help.txt" | sort -u); do
    grep -qF -- "$option" "$scratch/man.txt" || fail "the manual page does not describe $option"
done

echo "== the installed program, no display"
"${nodisplay[@]}" "$program" --version | grep -qxF "Zorvik ${version%-*}" || fail "--version does not say ${version%-*}"
"${nodisplay[@]}" "$program" --check-install | tee "$scratch/check.txt" || fail "--check-install misses files"
for rpt in "$source"/Reports/*.rpt; do
    grep -qxF "found   template: $share/Reports/$(basename "$rpt")" "$scratch/check.txt" ||
        fail "the installed program does not find $(basename "$rpt") in /usr/share/zorvik/Reports"
done
grep -qxF "found   sound: $share/InvalidAct.wav" "$scratch/check.txt" ||
    fail "the installed program does not find its sound in /usr/share/zorvik"
# Every language library built beside the program is installed and found beside it.
for built in "$build"/src/*.so; do
    [ -e "$built" ] || continue
    grep -q "^found   language library: $lib/$(basename "$built") " "$scratch/check.txt" ||
        fail "the installed program does not find $(basename "$built") in /usr/lib/zorvik"
done
grep -qxF "found   desktop file: $desktop" "$scratch/check.txt" ||
    fail "the program's desktop file name is not that of the installed desktop file"
grep -q "^writes  to: $HOME/" "$scratch/check.txt" || fail "the installed program would write to its own folder"

echo "== the demo from the installed folder"
# Still running after a few seconds means it started.
set +e
QT_QPA_PLATFORM=offscreen timeout 15 "$program" --demo --nosplash >"$scratch/demo.log" 2>&1
rc=$?
set -e
if [ "$rc" -ne 124 ]; then
    cat "$scratch/demo.log" >&2
    fail "the installed program ended early (exit $rc)"
fi
test -n "$(find "$HOME/.local/share/Orvane" -name '*.sqlite' -o -name '*.db' | head -n1)" ||
    fail "the demo made no database"
echo "package check passed"
