#!/usr/bin/env bash
# Builds Prismolenteer.exe and runs it under Wine, in a Wine virtual desktop on $DISPLAY.
# The program lives in the tray of that desktop; its settings persist in the prefix
# build/run-prefix between runs. Installs what it lacks (as root, or through sudo).
#
# Without a display it runs a short scripted demonstration on a private X server instead:
# the sample picture on the screen, the preview opened with the hotkey and every enabled
# filter chosen in turn, each saved as a PNG screenshot under out/.
set -euo pipefail
source "$(dirname "$0")/common.sh"

pl_ensure_packages "${PL_WIN32_PACKAGES[@]}"
mkdir -p "$PL_BUILD"
pl_say "Building Prismolenteer.exe..."
pl_build_win32

if [ -n "${DISPLAY:-}" ]; then
    export WINEPREFIX=$PL_BUILD/run-prefix WINEARCH=win32 WINEDEBUG=-all
    [ -f "$WINEPREFIX/system.reg" ] || pl_make_wine_prefix "$WINEPREFIX" "${PL_DESKTOP_SIZE:-1280x800}"
    pl_say "Prismolenteer runs in the Wine desktop window: F11 opens the preview; the tray"
    pl_say "icon's menu (bottom right) has Option, About and Exit."
    cd "$PL_BUILD/win32"
    exec wine Prismolenteer.exe
fi

pl_say "No X display: running the demonstration on a private X server instead."
pl_private_wine_session "$PL_BUILD/demo-prefix" 1024x768 1024x768

out=$PL_ROOT/out
rm -f "$out"/*.png
wine "$PL_BUILD/win32/tools/demo.exe" "$(winepath -w "$PL_BUILD/win32/Prismolenteer.exe")" \
    "$(winepath -w "$PL_ROOT/data/sample.bmp")" \
    "$(winepath -w "$out")" >"$PL_BUILD/demo.log" 2>&1 || { cat "$PL_BUILD/demo.log"; pl_fail "the demonstration failed"; }
pl_say "Screenshots, one per enabled filter, in $out:"
ls -1 "$out"/*.png
