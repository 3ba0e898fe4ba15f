#!/usr/bin/env bash
# Builds Prismolenteer.exe and runs it under Wine, in a Wine virtual desktop on $DISPLAY.
# The program lives in the tray of that desktop; its settings persist in the prefix
# build/run-prefix between runs. Installs what it lacks (as root, or through sudo).
set -euo pipefail
source "$(dirname "$0")/common.sh"

if [ -z "${DISPLAY:-}" ]; then
    pl_fail "no X display: set DISPLAY to run Prismolenteer in a Wine virtual desktop"
fi

pl_ensure_packages "${PL_WIN32_PACKAGES[@]}"
mkdir -p "$PL_BUILD"
pl_say "Building Prismolenteer.exe..."
pl_build_win32

export WINEPREFIX=$PL_BUILD/run-prefix WINEARCH=win32 WINEDEBUG=-all
[ -f "$WINEPREFIX/system.reg" ] || pl_make_wine_prefix "$WINEPREFIX" "${PL_DESKTOP_SIZE:-1280x800}"

pl_say "Prismolenteer runs in the Wine desktop window; use its tray icon's menu to exit."
cd "$PL_BUILD/win32"
exec wine Prismolenteer.exe
