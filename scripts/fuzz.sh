#!/usr/bin/env bash
# Builds the filter-file parser as a libFuzzer target (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) and fuzzes it on one core, starting from the committed seed
# corpus in tests/fuzz/corpus; new inputs go to build/fuzz/corpus. Arguments go to
# libFuzzer; the default is a ten-minute run. A crashing input is written to build/fuzz/.
set -euo pipefail
source "$(dirname "$0")/common.sh"

pl_ensure_packages clang libclang-rt-14-dev
FUZZ=$PL_BUILD/fuzz
mkdir -p "$FUZZ/corpus"
clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -I"$PL_ROOT" -o "$FUZZ/filter_file_fuzz" \
    "$PL_ROOT/tests/fuzz/filter_file_fuzz.cpp" \
    "$PL_ROOT"/filter/{filter_file,filter_table,color_cube,text,ansi_text_portable}.cpp ||
    pl_fail "building the fuzzer failed"

[ $# -gt 0 ] || set -- -max_total_time=600
cd "$FUZZ"
exec nice "$FUZZ/filter_file_fuzz" -max_len=8192 -print_final_stats=1 -artifact_prefix="$FUZZ/" \
    "$@" "$FUZZ/corpus" "$PL_ROOT/tests/fuzz/corpus"
