#!/usr/bin/env bash
# Builds the Windows tree and prints the filter benchmark's figures, measured under Wine
# on the program's own i686 code. Extra arguments go to the benchmark.
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
wine "$PL_BUILD/win32/bench/filter_bench.exe" "$@"
