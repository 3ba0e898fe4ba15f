#!/usr/bin/env bash
# Builds the Windows tree and prints benchmark figures, measured under Wine on the program's
# own i686 code. The load average is printed before and after: the figures mean little on a
# busy machine.
#
#   scripts/bench.sh [rounds]   the filter on whole frames (21 rounds or more; 31 by default),
#                               then the converter's steps on a 3840x2160 PNG
#   scripts/bench.sh latency [REV...] [...]
#                               the time from the hotkey to the picture on the screen; the
#                               builds of the commits named run in turn with this one;
#                               arguments from the first that starts with "-" go to
#                               latency_bench.exe
set -euo pipefail
source "$(dirname "$0")/common.sh"

pl_ensure_packages "${PL_WIN32_PACKAGES[@]}"
mkdir -p "$PL_BUILD"
pl_build_win32

if [ "${1:-}" != latency ]; then
    export WINEPREFIX=$PL_BUILD/bench-prefix WINEARCH=win32 WINEDEBUG=-all
    [ -f "$WINEPREFIX/system.reg" ] || pl_make_wine_prefix "$WINEPREFIX" 1024x768
    unset DISPLAY
    trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
    pl_start_wineserver
    echo "Load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
    wine "$PL_BUILD/win32/bench/filter_bench.exe" "$@"
    wine "$PL_BUILD/win32/bench/convert_bench.exe"
    echo "Load average after:  $(cut -d' ' -f1-3 /proc/loadavg)"
    exit 0
fi
shift

win_path() { local path=$1; echo "Z:${path//\//\\}"; }  # Wine's Z: is the Unix root

programs=()
while [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; do
    # The other commit's program, built from a checkout of its own beside this tree's.
    rev=$(git -C "$PL_ROOT" rev-parse --short "$1")
    shift
    source_dir=$PL_BUILD/bench-$rev-source build_dir=$PL_BUILD/bench-$rev
    if [ ! -d "$source_dir" ]; then
        mkdir -p "$source_dir"
        git -C "$PL_ROOT" archive "$rev" | tar -x -C "$source_dir" || pl_fail "cannot check out $rev"
    fi
    cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$PL_ROOT/cmake/toolchain-i686-w64-mingw32.cmake" >/dev/null &&
        cmake --build "$build_dir" -j "$(nproc)" --target Prismolenteer pl_filter_files >/dev/null ||
        pl_fail "building $rev failed"
    programs+=("$rev=$(win_path "$build_dir/Prismolenteer.exe")")
done
programs+=("this=$(win_path "$PL_BUILD/win32/Prismolenteer.exe")")

# A private desktop large enough for every size the benchmark switches to.
pl_private_wine_session "$PL_BUILD/latency-prefix" 1024x768 3840x2160
echo "Load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
wine "$PL_BUILD/win32/bench/latency_bench.exe" "$@" "${programs[@]}"
echo "Load average after:  $(cut -d' ' -f1-3 /proc/loadavg)"
