#!/usr/bin/env bash
# Builds the filter generator natively with optimisation and without sanitizers (the
# optimisation is heavy), then runs it. Without arguments it rewrites the shipped filter
# files in data/filter/ and prints their fidelity table; any arguments go to the generator
# instead (run it with --help for a filter of your own).
set -euo pipefail
source "$(dirname "$0")/common.sh"

pl_ensure_packages g++ cmake make
cmake -S "$PL_ROOT" -B "$PL_BUILD/tools" -DCMAKE_BUILD_TYPE=Release -DPL_SANITIZE=OFF >/dev/null || pl_fail "configuring the tools tree failed"
cmake --build "$PL_BUILD/tools" --target make_filters -j 2 >"$PL_BUILD/tools-build.log" 2>&1 ||
    { tail -n 40 "$PL_BUILD/tools-build.log"; pl_fail "building the filter generator failed"; }

if [ $# -eq 0 ]; then
    mkdir -p "$PL_ROOT/data/filter"
    set -- --shipped "$PL_ROOT/data/filter"
fi
exec nice "$PL_BUILD/tools/tools/make_filters" "$@"
