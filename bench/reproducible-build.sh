#!/usr/bin/env bash
# Builds the Debian packages of one commit twice and compares them byte for byte: two exports of
# the commit in folders of different names and depths, with different file times, umask, time
# zone and locale, each configured without tests and benchmarks (so without GoogleTest and
# Google Benchmark) and built without ccache. cpack itself runs with umask 022 in both, as
# dpkg-buildpackage runs: it gives the archive's members the modes of its temporary files.
# Takes a while (two whole builds): not part of the test command.
#
#   bench/reproducible-build.sh [COMMIT]        (default HEAD; JOBS=N for the build's parallelism)
set -euo pipefail
cd "$(dirname "$0")/.."
commit=$(git rev-parse "${1:-HEAD}")
jobs=${JOBS:-2}
work=$(mktemp -d "${TMPDIR:-/tmp}/zorvik-repro.XXXXXX")
# KEEP=1 keeps the two builds for a closer look.
if [ "${KEEP:-0}" != 1 ]; then
    trap 'rm -rf "$work"' EXIT
fi
start=$SECONDS

# build NAME SOURCE-FOLDER [TOUCH-DATE]: exports the commit there (file times set to TOUCH-DATE
# when given), builds it in SOURCE-FOLDER/build-NAME and packs it; the packages end up in
# $work/NAME.
build() {
    local name=$1 src=$2
    mkdir -p "$src" "$work/$name"
    git archive --format=tar "$commit" | tar -x -C "$src"
    if [ -n "${3:-}" ]; then
        find "$src" -exec touch -h -d "$3" {} +
    fi
    (
        cd "$src"
        {
            cmake -S . -B "build-$name" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
                -DZORVIK_TESTS=OFF -DZORVIK_BENCH=OFF \
                -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON &&
                cmake --build "build-$name" --parallel "$jobs" &&
                (cd "build-$name" && umask 022 && cpack -G DEB)
        } >"$work/$name/build.log" 2>&1 || { tail -n 30 "$work/$name/build.log" >&2; exit 1; }
        cp "build-$name"/zorvik_*.deb "build-$name"/zorvik-dbgsym_*.deb "$work/$name/"
    )
    echo "$name: built in $((SECONDS - start)) s"
}

# No compiler cache: each build compiles everything itself.
unset SOURCE_DATE_EPOCH CMAKE_CXX_COMPILER_LAUNCHER CMAKE_C_COMPILER_LAUNCHER
export CCACHE_DISABLE=1
(umask 022 && TZ=UTC LC_ALL=C.UTF-8 build first "$work/a/src")
# The second export's files two days older than the commit, in a deeper folder, under another umask, zone and locale.
(umask 002 && TZ=Pacific/Auckland LC_ALL=C build second "$work/b/second/zorvik-source" '2 days ago')

status=0
for first in "$work"/first/*.deb; do
    second=$work/second/$(basename "$first")
    if cmp -s "$first" "$second"; then
        echo "identical: $(basename "$first") ($(stat -c %s "$first") bytes, sha256 $(sha256sum <"$first" | cut -c1-16)...)"
    else
        status=1
        echo "DIFFERENT: $(basename "$first")"
        for deb in "$first" "$second"; do
            mkdir -p "$deb.x" && dpkg-deb -R "$deb" "$deb.x"
            dpkg-deb -c "$deb" >"$deb.list"
        done
        diff "$first.list" "$second.list" | head -n 20 || true
        diff -r --no-dereference "$first.x" "$second.x" | head -n 20 || true
        command -v diffoscope >/dev/null && diffoscope "$first" "$second" | head -n 60
    fi
done
echo "total: $((SECONDS - start)) s"
exit "$status"
