#!/usr/bin/env bash
# Builds both trees and runs every test: the portable core natively under AddressSanitizer
# and UndefinedBehaviorSanitizer, and the Windows build's unit and end-to-end tests under
# Wine, in a fresh Wine prefix with a virtual desktop on a private X server.
# Installs what it lacks (as root, or through sudo). The ctest summary is the last output.
set -euo pipefail
source "$(dirname "$0")/common.sh"

pl_ensure_packages "${PL_NATIVE_PACKAGES[@]}" "${PL_WIN32_PACKAGES[@]}" "${PL_PACKAGE_PACKAGES[@]}"
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

# A fresh prefix for every run, so no state leaks between runs or into the user's Wine. The
# X server is larger than the desktop so that tests can switch the desktop to 1920x1080.
pl_say "Making a fresh Wine prefix..."
pl_private_wine_session "$PL_BUILD/win32/wineprefix" 1024x768 1920x1080

pl_say "Running the tests..."
ctest --test-dir "$PL_BUILD" --output-on-failure --no-tests=error --timeout 300 \
    -j "$(nproc)" "$@"
