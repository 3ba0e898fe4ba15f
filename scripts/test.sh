#!/usr/bin/env bash
# Builds both trees and runs every test: the portable core natively under AddressSanitizer
# and UndefinedBehaviorSanitizer, and the Windows build's unit and end-to-end tests under
# Wine, in a fresh Wine prefix with a virtual desktop on a private X server.
# Installs what it lacks (as root, or through sudo). The ctest summary is the last output.
set -euo pipefail
source "$(dirname "$0")/common.sh"

pl_ensure_packages "${PL_NATIVE_PACKAGES[@]}" "${PL_WIN32_PACKAGES[@]}"
mkdir -p "$PL_BUILD"
pl_say "Building the native tree..."
pl_build_native
pl_say "Building the Windows tree..."
pl_build_win32

# One summary for both trees.
cat >"$PL_BUILD/CTestTestfile.cmake" <<'CTEST'
subdirs("native")
subdirs("win32")
CTEST

# A fresh prefix for every run, so no state leaks between runs or into the user's Wine.
export WINEPREFIX=$PL_BUILD/win32/wineprefix WINEARCH=win32 WINEDEBUG=-all
rm -rf "$WINEPREFIX"
pl_say "Making a fresh Wine prefix..."
pl_make_wine_prefix "$WINEPREFIX" 1024x768

cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    pl_stop_xvfb >/dev/null 2>&1 || true
}
trap cleanup EXIT
pl_start_xvfb 1920x1080
pl_start_wineserver

pl_say "Running the tests..."
ctest --test-dir "$PL_BUILD" --output-on-failure --no-tests=error --timeout 300 \
    -j "$(nproc)" "$@"
