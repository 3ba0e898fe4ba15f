#!/usr/bin/env bash
# Builds the three trees and runs every test: the portable core natively under
# AddressSanitizer and UndefinedBehaviorSanitizer, and the unit and end-to-end tests of each
# Windows build that this machine can run under Wine (both, or only the 64-bit one where
# 32-bit code cannot run; PL_NO_32BIT=1 acts as on such a machine). Each Windows build's
# tests get a fresh Wine prefix with a virtual desktop on a private X server of their own,
# so that the two builds' tests run side by side.
# Installs what it lacks (as root, or through sudo). The ctest summary is among the last
# lines, followed by what did not run here and why.
set -euo pipefail
source "$(dirname "$0")/common.sh"
started=$SECONDS

pl_probe_machine
mapfile -t wine_packages < <(pl_wine_packages)
pl_ensure_packages "${PL_NATIVE_PACKAGES[@]}" "${PL_WINDOWS_BUILD_PACKAGES[@]}" "${wine_packages[@]}" \
    "${PL_PACKAGE_PACKAGES[@]}"
mkdir -p "$PL_BUILD"
installed=$SECONDS

# A fresh prefix for every run, so no state leaks between runs or into the user's Wine.
# They are made while the trees build: wineboot spends much of its time waiting for its
# own processes and the disk.
prefix_jobs=()
for build in $PL_WINE_BUILDS; do
    rm -rf "$PL_BUILD/$build/wineprefix" "$PL_BUILD/$build/wine-display"
    pl_make_wine_prefix "$build" "$PL_BUILD/$build/wineprefix" 1024x768 \
        >"$PL_BUILD/$build-prefix.log" 2>&1 &
    prefix_jobs+=($!)
done

# The three trees build at once: each build's serial stretches (configuring, the longest
# compiles, linking) then overlap with the others' work.
pl_say "Building the native, win32 and win64 trees..."
build_jobs=()
pl_build_native & build_jobs+=($!)
for build in win32 win64; do
    pl_build_windows "$build" & build_jobs+=($!)
done
for job in "${build_jobs[@]}"; do
    wait "$job" || exit 1
done
pl_say "Making fresh Wine prefixes..."
for job in "${prefix_jobs[@]}"; do
    wait "$job" || { cat "$PL_BUILD"/win*-prefix.log >&2; pl_fail "a Wine prefix could not be made"; }
done

# One summary for every tree that runs here.
{
    echo 'subdirs("native")'
    for build in $PL_WINE_BUILDS; do echo "subdirs(\"$build\")"; done
} >"$PL_BUILD/CTestTestfile.cmake"

# Each build's X server is larger than its desktop, so that tests can switch the desktop
# to 1920x1080. A tree's ./wine runs its programs on its own display (see cmake/wine.in).
for build in $PL_WINE_BUILDS; do
    pl_start_wine_session "$build" "$PL_BUILD/$build/wineprefix" 1920x1080
    echo "$PL_XVFB_DISPLAY" >"$PL_BUILD/$build/wine-display"
    export DISPLAY=$PL_XVFB_DISPLAY
done

pl_say "Running the tests..."
tests_started=$SECONDS
status=0
# One more job than cores: the two builds' Wine tests spend much of their time waiting.
ctest --test-dir "$PL_BUILD" --output-on-failure --no-tests=error --timeout 300 \
    -j "$(($(nproc) + 1))" "$@" || status=$?
for build in $PL_WINE_BUILDS; do rm -f "$PL_BUILD/$build/wine-display"; done

elapsed=$((SECONDS - started))
pl_say "The test command took $((elapsed / 60)) min $((elapsed % 60)) s:" \
    "$((installed - started)) s looking for and installing packages," \
    "$((tests_started - installed)) s building, $((SECONDS - tests_started)) s testing."
if [ "$PL_RUNS_32BIT" != 1 ]; then
    pl_say "Not run: the 32-bit build's Wine tests (win32.*), as $PL_NOT_RUN_WHY. It was built; the 64-bit build's Wine tests (win64.*) ran in their place."
fi
exit $status
