#!/usr/bin/env bash
# Builds the Windows trees and prints benchmark figures, measured under Wine on the
# program's own machine code: for each Windows build this machine runs (both, or only the
# 64-bit one where 32-bit code cannot run; PL_NO_32BIT=1 acts as on such a machine). The
# load average is printed before and after: the figures mean little on a busy machine.
#
#   scripts/bench.sh [rounds]   the filter on whole frames (21 rounds or more; 31 by default),
#                               then the converter's steps on a 3840x2160 PNG, for each build
#   scripts/bench.sh largest    the largest picture the converter takes, 16384x16384, through
#                               prismolenteer-cli.exe of each build, with its peak memory
#   scripts/bench.sh latency [REV...] [...]
#                               the time from the hotkey to the picture on the screen, of the
#                               32-bit build where it runs, else of the 64-bit one; the
#                               builds of the commits named run in turn with this one;
#                               arguments from the first that starts with "-" go to
#                               latency_bench.exe
#   scripts/bench.sh live [--soak MINUTES] [...]
#                               the live view at areas of 320x240, 640x480 and 1280x720:
#                               pictures per second, the time from a change on the screen to
#                               the live window showing it, and its processor time while
#                               nothing changes; with --soak, its memory after a minute and
#                               after MINUTES of changes. Of the build as for latency; the
#                               arguments go to live_bench.exe
set -euo pipefail
source "$(dirname "$0")/common.sh"

pl_probe_machine
mapfile -t wine_packages < <(pl_wine_packages)
pl_ensure_packages "${PL_WINDOWS_BUILD_PACKAGES[@]}" "${wine_packages[@]}"
mkdir -p "$PL_BUILD"

if [ "${1:-}" != latency ] && [ "${1:-}" != live ]; then
    for build in $PL_WINE_BUILDS; do
        pl_build_windows "$build"
        export WINEPREFIX=$PL_BUILD/bench-prefix-$build WINELOADER=$(pl_wine_loader "$build") WINEDEBUG=-all
        [ -f "$WINEPREFIX/system.reg" ] || pl_make_wine_prefix "$build" "$WINEPREFIX" 1024x768
        (
            unset DISPLAY
            WINEPREFIX=$WINEPREFIX "$(pl_wine_server "$build")" -p
            pl_wine cmd /c exit >/dev/null 2>&1 </dev/null
            echo "== The $build build"
            echo "Load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
            if [ "${1:-}" = largest ]; then
                pl_wine "$PL_BUILD/$build/bench/convert_bench.exe" --largest
            else
                pl_wine "$PL_BUILD/$build/bench/filter_bench.exe" "$@"
                pl_wine "$PL_BUILD/$build/bench/convert_bench.exe"
            fi
            echo "Load average after:  $(cut -d' ' -f1-3 /proc/loadavg)"
        ) || status=$?
        "$(pl_wine_server "$build")" -k >/dev/null 2>&1 || true
        [ "${status:-0}" = 0 ] || exit "$status"
    done
    exit 0
fi
mode=$1
shift

build=$PL_RUN_BUILD
pl_build_windows "$build"

if [ "$mode" = live ]; then
    # Room for the largest area beside a live window of its size.
    pl_private_wine_session "$build" "$PL_BUILD/live-prefix-$build" 2720x1536 2720x1536
    echo "The $build build. Load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
    pl_wine "$PL_BUILD/$build/bench/live_bench.exe" "$@" \
        "$(pl_windows_path "$PL_BUILD/$build/Prismolenteer.exe")"
    echo "Load average after:  $(cut -d' ' -f1-3 /proc/loadavg)"
    exit 0
fi
case $build in
    win32) toolchain=toolchain-i686-w64-mingw32.cmake ;;
    win64) toolchain=toolchain-x86_64-w64-mingw32.cmake ;;
esac

programs=()
while [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; do
    # The other commit's program, built from a checkout of its own beside this tree's.
    rev=$(git -C "$PL_ROOT" rev-parse --short "$1")
    shift
    source_dir=$PL_BUILD/bench-$rev-source build_dir=$PL_BUILD/bench-$rev-$build
    if [ ! -d "$source_dir" ]; then
        mkdir -p "$source_dir"
        git -C "$PL_ROOT" archive "$rev" | tar -x -C "$source_dir" || pl_fail "cannot check out $rev"
    fi
    cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$PL_ROOT/cmake/$toolchain" >/dev/null &&
        cmake --build "$build_dir" -j "$(nproc)" --target Prismolenteer pl_filter_files >/dev/null ||
        pl_fail "building $rev failed"
    programs+=("$rev=$(pl_windows_path "$build_dir/Prismolenteer.exe")")
done
programs+=("this=$(pl_windows_path "$PL_BUILD/$build/Prismolenteer.exe")")

# A private desktop large enough for every size the benchmark switches to.
pl_private_wine_session "$build" "$PL_BUILD/latency-prefix-$build" 1024x768 3840x2160
echo "The $build build. Load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
pl_wine "$PL_BUILD/$build/bench/latency_bench.exe" "$@" "${programs[@]}"
echo "Load average after:  $(cut -d' ' -f1-3 /proc/loadavg)"
