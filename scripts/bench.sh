#!/usr/bin/env bash
# Builds the Windows tree and prints the benchmarks' figures, measured under Wine on the
# program's own i686 code: the filter on whole frames, then the converter's steps on a
# 3840x2160 PNG. An optional argument sets the number of rounds of the filter benchmark
# (21 or more; 31 by default). The load average is printed before and after: the figures
# mean little on a busy machine.
set -euo pipefail
source "$(dirname "$0")/common.sh"

pl_ensure_packages "${PL_WIN32_PACKAGES[@]}"
mkdir -p "$PL_BUILD"
pl_build_win32

export WINEPREFIX=$PL_BUILD/bench-prefix WINEARCH=win32 WINEDEBUG=-all
[ -f "$WINEPREFIX/system.reg" ] || pl_make_wine_prefix "$WINEPREFIX" 1024x768
unset DISPLAY
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
pl_start_wineserver
echo "Load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
wine "$PL_BUILD/win32/bench/filter_bench.exe" "$@"
wine "$PL_BUILD/win32/bench/convert_bench.exe"
echo "Load average after:  $(cut -d' ' -f1-3 /proc/loadavg)"
