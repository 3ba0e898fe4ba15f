#!/usr/bin/env bash
# Builds Prismolenteer.exe and runs it under Wine, in a Wine virtual desktop on $DISPLAY: the
# 32-bit build where this machine runs 32-bit code, else the 64-bit one (PL_NO_32BIT=1
# chooses the 64-bit one anyway). The program lives in the tray of that desktop; its
# settings persist in the prefix build/run-prefix-<build> between runs. Installs what it
# lacks (as root, or through sudo).
#
# Without a display it runs a short scripted demonstration on a private X server instead:
# the sample picture on the screen, the preview opened with the hotkey and every enabled
# filter chosen in turn, each saved as a PNG screenshot under out/.
set -euo pipefail
source "$(dirname "$0")/common.sh"

pl_probe_machine
build=$PL_RUN_BUILD
mapfile -t wine_packages < <(pl_wine_packages)
pl_ensure_packages "${PL_WINDOWS_BUILD_PACKAGES[@]}" "${wine_packages[@]}"
mkdir -p "$PL_BUILD"
pl_say "Building Prismolenteer.exe ($build)..."
pl_build_windows "$build"

if [ -n "${DISPLAY:-}" ]; then
    export WINEPREFIX=$PL_BUILD/run-prefix-$build WINELOADER=$(pl_wine_loader "$build") WINEDEBUG=-all
    [ -f "$WINEPREFIX/system.reg" ] || pl_make_wine_prefix "$build" "$WINEPREFIX" "${PL_DESKTOP_SIZE:-1280x800}"
    pl_say "Prismolenteer runs in the Wine desktop window: F11 opens the preview; the tray"
    pl_say "icon's menu (bottom right) has Live view, Option, About and Exit."
    cd "$PL_BUILD/$build"
    exec "$WINELOADER" Prismolenteer.exe
fi

pl_say "No X display: running the demonstration on a private X server instead."
pl_private_wine_session "$build" "$PL_BUILD/demo-prefix-$build" 1024x768 1024x768

out=$PL_ROOT/out
mkdir -p "$out"
rm -f "$out"/*.png
pl_wine "$PL_BUILD/$build/tools/demo.exe" "$(pl_windows_path "$PL_BUILD/$build/Prismolenteer.exe")" \
    "$(pl_windows_path "$PL_ROOT/data/sample.bmp")" \
    "$(pl_windows_path "$out")" >"$PL_BUILD/demo.log" 2>&1 || { cat "$PL_BUILD/demo.log"; pl_fail "the demonstration failed"; }
pl_say "Screenshots, one per enabled filter, in $out:"
ls -1 "$out"/*.png
