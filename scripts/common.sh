# Shared by the scripts: installing what the build needs, building
# the two trees, and making a Wine prefix with a virtual desktop on a display.
# Sourced, not run.

PL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
PL_BUILD=${PL_BUILD:-$PL_ROOT/build}

pl_say()  { printf '%s\n' "$*" >&2; }
pl_fail() { printf 'error: %s\n' "$*" >&2; exit 1; }

# Installs every Debian package in "$@" that is missing. Quick when nothing is missing.
pl_ensure_packages() {
    local missing=() package
    for package in "$@"; do
        dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q '^install ok installed$' ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    pl_say "Installing: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || pl_fail "need root (or sudo) to install: ${missing[*]}"
        sudo=(sudo)
    fi
    case " ${missing[*]} " in
        *:i386*)
            dpkg --print-foreign-architectures | grep -qx i386 ||
                "${sudo[@]}" dpkg --add-architecture i386 || pl_fail "cannot add the i386 architecture"
            ;;
    esac
    "${sudo[@]}" apt-get update -qq || pl_fail "apt-get update failed"
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null || pl_fail "apt-get could not install: ${missing[*]}"
}

# What building and running the Windows program needs; a Japanese font (IPA Gothic, metrics
# like MS Gothic's) for the Japanese texts under Wine.
PL_WIN32_PACKAGES=(g++-mingw-w64-i686-posix cmake make googletest wine wine32:i386 fonts-wine locales
                   fonts-ipafont-gothic xvfb xauth)
# What packaging needs: the zip and the installer (NSIS), and unzip for its test.
PL_PACKAGE_PACKAGES=(zip unzip nsis git)
# What the native tree (portable core under sanitizers) needs.
PL_NATIVE_PACKAGES=(g++ cmake make googletest)

pl_build_native() {
    cmake -S "$PL_ROOT" -B "$PL_BUILD/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null ||
        pl_fail "configuring the native tree failed"
    cmake --build "$PL_BUILD/native" -j "$(nproc)" >"$PL_BUILD/native-build.log" 2>&1 ||
        { tail -n 40 "$PL_BUILD/native-build.log"; pl_fail "building the native tree failed"; }
}

pl_build_win32() {
    cmake -S "$PL_ROOT" -B "$PL_BUILD/win32" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$PL_ROOT/cmake/toolchain-i686-w64-mingw32.cmake" >/dev/null ||
        pl_fail "configuring the Windows tree failed"
    cmake --build "$PL_BUILD/win32" -j "$(nproc)" >"$PL_BUILD/win32-build.log" 2>&1 ||
        { tail -n 40 "$PL_BUILD/win32-build.log"; pl_fail "building the Windows tree failed"; }
}

# Makes a 32-bit Wine prefix at $1 whose programs all run in one virtual desktop of size
# $2 (for example 1024x768), with no crash dialog and with Wine's Tahoma font in place.
# Runs without a display: a wineboot that sees one leaves a desktop running that later
# processes would join instead of the virtual one.
pl_make_wine_prefix() {
    local prefix=$1 size=$2
    mkdir -p "$(dirname "$prefix")"
    (
        unset DISPLAY WAYLAND_DISPLAY
        export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
        wineboot -i >/dev/null 2>&1 || exit 1
        cat >"$prefix/pl-setup.reg" <<REG
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]
"Default"="$size"

[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]
"ShowCrashDialog"=dword:00000000
REG
        wine regedit /S "$(winepath -w "$prefix/pl-setup.reg" 2>/dev/null)" >/dev/null 2>&1 || exit 1
        wineserver -w
    ) || pl_fail "could not make the Wine prefix $prefix"
    # This Wine does not look in /usr/share/wine/fonts; without Tahoma, dialogs fall back to
    # other fonts with other metrics.
    cp /usr/share/wine/fonts/tahoma*.ttf /usr/share/wine/fonts/marlett.ttf \
        "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
}

# Starts a private X server of the given screen size and exports DISPLAY. Its PID is in
# PL_XVFB_PID; pl_stop_xvfb ends it.
pl_start_xvfb() {
    local size=$1 displayFile
    displayFile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$displayFile" >/dev/null 2>&1 &
    PL_XVFB_PID=$!
    local waited=0
    while [ ! -s "$displayFile" ]; do
        sleep 0.1
        waited=$((waited + 1))
        kill -0 "$PL_XVFB_PID" 2>/dev/null || pl_fail "Xvfb did not start"
        [ $waited -lt 100 ] || pl_fail "Xvfb did not report its display"
    done
    export DISPLAY=":$(head -n 1 "$displayFile")"
    rm -f "$displayFile"
}

pl_stop_xvfb() {
    [ -n "${PL_XVFB_PID:-}" ] && kill "$PL_XVFB_PID" 2>/dev/null && wait "$PL_XVFB_PID" 2>/dev/null
    PL_XVFB_PID=
}

# Starts the prefix's wineserver persistently and runs one Wine program to completion, so
# that Wine's background services are up before anything measures or waits on pipes:
# they inherit the output pipes of the first Wine process and would hold ctest up.
pl_start_wineserver() {
    wineserver -p
    wine cmd /c exit >/dev/null 2>&1 </dev/null
}

# A private Wine session for the rest of the script: a fresh prefix at $1 with a virtual
# desktop of size $2, a private X server of size $3 (at least the desktop's) and a running
# wineserver, all ended when the script exits.
pl_private_wine_session() {
    export WINEPREFIX=$1 WINEARCH=win32 WINEDEBUG=-all
    rm -rf "$WINEPREFIX"
    pl_make_wine_prefix "$WINEPREFIX" "$2"
    trap pl_end_private_wine_session EXIT
    pl_start_xvfb "$3"
    pl_start_wineserver
}

pl_end_private_wine_session() {
    wineserver -k >/dev/null 2>&1 || true
    pl_stop_xvfb >/dev/null 2>&1 || true
}
