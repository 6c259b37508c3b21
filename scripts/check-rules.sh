#!/usr/bin/env bash
# Rules that must have one home in the code: a check fails when a copy appears elsewhere.
set -uo pipefail
cd "$(dirname "$0")/.."
status=0

# Quoting a text into a statement or a filter: CSqlDialect::literal doubles the quotes, nothing
# else does (a copy that forgets a case lets a name such as "D'Arcy" end the literal early).
hits=$(git grep -n -E "u?'\\\\''.*\"''\"" -- 'src/*.cpp' 'src/*.h' 'tools/*.cpp' ':!src/db/CSqlDialect.cpp' || true)
if [ -n "$hits" ]; then
    echo "quote doubling outside CSqlDialect::literal:" >&2
    echo "$hits" >&2
    status=1
fi

# The day-type procedure is named once.
hits=$(git grep -n -F 'sp_popuni_TekuciRbrUC' -- 'src/*.cpp' 'src/*.h' ':!src/db/CSqlDialect.h' || true)
if [ -n "$hits" ]; then
    echo "the day-type procedure named outside CSqlDialect::DayTypeProcedure:" >&2
    echo "$hits" >&2
    status=1
fi

[ "$status" -eq 0 ] && echo "one home for each rule: ok"
exit "$status"
