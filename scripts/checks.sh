#!/usr/bin/env bash
# Checks beyond the unit tests: formatting, the source layout, the polling tests under
# ThreadSanitizer and the fuzz targets under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen

echo "== clang-format"
files=$(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'fuzz/*.cpp' 'tools/*.cpp' 'tools/*.h' 2>/dev/null || true)
if [ -n "$files" ]; then
    clang-format --dry-run --Werror $files
fi

echo "== one home for each rule"
bash scripts/check-rules.sh

echo "== source layout (includes between folders, widget headers, source lists, connections)"
python3 scripts/check-sources.py

echo "== polling and database tests under ThreadSanitizer"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORVIK_SANITIZE=thread -DZORVIK_BENCH=OFF >/dev/null
cmake --build build-tsan --target tst_live tst_db_access --parallel "$(nproc)"
for t in tst_live tst_db_access; do
    TSAN_OPTIONS="halt_on_error=1 exitcode=66 suppressions=$PWD/tests/tsan.supp" \
        "$(find build-tsan/tests -name "$t" -type f -executable | head -n 1)" --gtest_brief=1
done

echo "== fuzz targets (clang, AddressSanitizer + UndefinedBehaviorSanitizer)"
FUZZ_SECONDS=${FUZZ_SECONDS:-30}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZORVIK_FUZZ=ON -DZORVIK_TESTS=OFF -DZORVIK_BENCH=OFF -DZORVIK_SANITIZE="address;undefined" >/dev/null
cmake --build build-fuzz --target fuzzers --parallel "$(nproc)"
for src in fuzz/fuzz_*.cpp; do
    [ -e "$src" ] || continue
    name=$(basename "$src" .cpp)
    corpus=build-fuzz/corpus/${name#fuzz_}
    mkdir -p "$corpus"
    if [ -d "fuzz/corpus/${name#fuzz_}" ]; then cp -r "fuzz/corpus/${name#fuzz_}/." "$corpus/"; fi
    echo "-- $name for ${FUZZ_SECONDS}s"
    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ASAN_OPTIONS=detect_leaks=1 \
        "build-fuzz/fuzz/$name" -max_total_time="$FUZZ_SECONDS" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=0 "$corpus" 2>&1 | tail -n 3
    test "${PIPESTATUS[0]}" -eq 0
done
