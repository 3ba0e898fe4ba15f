# Shared by the scripts: what this machine can run, installing what the build needs,
# building the trees, and Wine sessions (a prefix with a virtual desktop on an X server).
# Sourced, not run.
#
# There are two Windows builds, win32 (i686) and win64 (x86-64), each in build/<name> and
# each run under its own Wine loader. Some machines cannot run 32-bit code at all (a
# hypervisor or sandbox without it: every 32-bit program, Wine's 32-bit loader included,
# fails with "Exec format error"); there only the 64-bit build runs. PL_NO_32BIT=1 makes
# the scripts act as on such a machine.

PL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
PL_BUILD=${PL_BUILD:-$PL_ROOT/build}

pl_say()  { printf '%s\n' "$*" >&2; }
pl_fail() { printf 'error: %s\n' "$*" >&2; exit 1; }

# Finds out by trying whether this machine runs 32-bit x86 code: a 93-byte 32-bit Linux
# program that only exits with code 42. Sets
#   PL_RUNS_32BIT    1 or 0
#   PL_WINE_BUILDS   the Windows builds whose programs run here: "win32 win64" or "win64"
#   PL_RUN_BUILD     the build to run the program and the demonstration with: win32
#                    where it runs (it is the one every Windows runs), else win64
#   PL_NOT_RUN_WHY   why the 32-bit build does not run here, or empty
# and says so in one line.
pl_probe_machine() {
    PL_RUNS_32BIT=0 PL_NOT_RUN_WHY=
    if [ -n "${PL_NO_32BIT:-}" ]; then
        PL_NOT_RUN_WHY="PL_NO_32BIT is set"
    else
        mkdir -p "$PL_BUILD"
        local probe=$PL_BUILD/probe-i386 output status
        # ELF header, one loadable segment of the whole file, then
        # xor ebx,ebx; mov bl,42; xor eax,eax; inc eax; int 0x80 (exit(42)).
        printf '\x7fELF\x01\x01\x01\0\0\0\0\0\0\0\0\0\x02\0\x03\0\x01\0\0\0\x54\x80\x04\x08'`
              `'\x34\0\0\0\0\0\0\0\0\0\0\0\x34\0\x20\0\x01\0\0\0\0\0\0\0'`
              `'\x01\0\0\0\0\0\0\0\0\x80\x04\x08\0\x80\x04\x08\x5d\0\0\0\x5d\0\0\0\x05\0\0\0\0\x10\0\0'`
              `'\x31\xdb\xb3\x2a\x31\xc0\x40\xcd\x80' >"$probe"
        chmod +x "$probe"
        if output=$("$probe" 2>&1); then status=0; else status=$?; fi
        rm -f "$probe"
        if [ "$status" = 42 ]; then
            PL_RUNS_32BIT=1
        else
            output=$(printf '%s\n' "$output" | tail -n 1)
            PL_NOT_RUN_WHY="this machine cannot run 32-bit code (a 32-bit probe program: ${output##*: }${output:+, }exit code $status)"
        fi
    fi
    if [ "$PL_RUNS_32BIT" = 1 ]; then
        PL_WINE_BUILDS="win32 win64" PL_RUN_BUILD=win32
        pl_say "Machine: runs 32-bit and 64-bit code; both Windows builds run under Wine."
    else
        PL_WINE_BUILDS="win64" PL_RUN_BUILD=win64
        pl_say "Machine: 64-bit code only, as $PL_NOT_RUN_WHY; only the 64-bit Windows build runs under Wine."
    fi
}

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

# What building the two Windows builds needs (localedef's sources for the language tests'
# locales among it).
PL_WINDOWS_BUILD_PACKAGES=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix cmake make googletest
                           locales)
# What running them under Wine needs, with a Japanese font (IPA Gothic, metrics like MS
# Gothic's) for the Japanese texts. pl_wine_packages adds Wine's 32-bit loader where it runs.
PL_WINE_PACKAGES=(wine wine64 fonts-wine fonts-ipafont-gothic xvfb xauth)
# What packaging needs: the zip and the installer (NSIS), and unzip for its test.
PL_PACKAGE_PACKAGES=(zip unzip nsis git)
# What the native tree (portable core under sanitizers) needs.
PL_NATIVE_PACKAGES=(g++ cmake make googletest)

# PL_WINE_PACKAGES, and the 32-bit loader where pl_probe_machine found that it can run.
pl_wine_packages() {
    printf '%s\n' "${PL_WINE_PACKAGES[@]}"
    [ "$PL_RUNS_32BIT" = 1 ] && echo wine32:i386
    return 0
}

pl_build_native() {
    cmake -S "$PL_ROOT" -B "$PL_BUILD/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null ||
        pl_fail "configuring the native tree failed"
    cmake --build "$PL_BUILD/native" -j "$(nproc)" >"$PL_BUILD/native-build.log" 2>&1 ||
        { tail -n 40 "$PL_BUILD/native-build.log"; pl_fail "building the native tree failed"; }
}

# Builds the Windows build $1 (win32 or win64) in build/$1; further arguments go to
# cmake --build (--target ...).
pl_build_windows() {
    local build=$1 toolchain
    shift
    case $build in
        win32) toolchain=toolchain-i686-w64-mingw32.cmake ;;
        win64) toolchain=toolchain-x86_64-w64-mingw32.cmake ;;
        *) pl_fail "no Windows build named $build" ;;
    esac
    cmake -S "$PL_ROOT" -B "$PL_BUILD/$build" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$PL_ROOT/cmake/$toolchain" >/dev/null ||
        pl_fail "configuring the $build tree failed"
    cmake --build "$PL_BUILD/$build" -j "$(nproc)" "$@" >"$PL_BUILD/$build-build.log" 2>&1 ||
        { tail -n 40 "$PL_BUILD/$build-build.log"; pl_fail "building the $build tree failed"; }
}

# Wine's loader and server for the programs of build $1.
pl_wine_loader() { case $1 in win32) echo /usr/lib/wine/wine ;; *) echo /usr/lib/wine/wine64 ;; esac; }
pl_wine_server() { case $1 in win32) echo /usr/lib/wine/wineserver32 ;; *) echo /usr/lib/wine/wineserver64 ;; esac; }

# A Unix path as the Windows programs see it: Wine maps the Unix root to drive Z:.
pl_windows_path() { local path=$1; echo "Z:${path//\//\\}"; }

# Makes a Wine prefix at $2 for the programs of build $1 whose programs all run in one
# virtual desktop of size $3 (for example 1024x768), with no crash dialog and with Wine's
# Tahoma font in place. Runs without a display: a wineboot that sees one leaves a desktop
# running that later processes would join instead of the virtual one.
pl_make_wine_prefix() {
    local build=$1 prefix=$2 size=$3 loader server
    loader=$(pl_wine_loader "$build") server=$(pl_wine_server "$build")
    mkdir -p "$(dirname "$prefix")"
    (
        unset DISPLAY WAYLAND_DISPLAY
        export WINEPREFIX=$prefix WINEARCH=$build WINELOADER=$loader WINEDEBUG=-all \
            WINEDLLOVERRIDES="mscoree,mshtml="
        "$loader" wineboot -i >/dev/null 2>&1 || exit 1
        cat >"$prefix/pl-setup.reg" <<REG
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]
"Default"="$size"

[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]
"ShowCrashDialog"=dword:00000000
REG
        "$loader" regedit /S "$(pl_windows_path "$prefix/pl-setup.reg")" >/dev/null 2>&1 || exit 1
        "$server" -w
    ) || pl_fail "could not make the Wine prefix $prefix"
    # This Wine does not look in /usr/share/wine/fonts; without Tahoma, dialogs fall back to
    # other fonts with other metrics.
    cp /usr/share/wine/fonts/tahoma*.ttf /usr/share/wine/fonts/marlett.ttf \
        "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
}

# Starts a private X server of the given screen size; its display (":N") goes to
# PL_XVFB_DISPLAY and its PID to PL_XVFB_PIDS, which pl_end_wine_sessions ends.
PL_XVFB_PIDS=()
pl_start_xvfb() {
    local size=$1 displayFile pid
    displayFile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$displayFile" >/dev/null 2>&1 &
    pid=$!
    PL_XVFB_PIDS+=("$pid")
    local waited=0
    while [ ! -s "$displayFile" ]; do
        sleep 0.1
        waited=$((waited + 1))
        kill -0 "$pid" 2>/dev/null || pl_fail "Xvfb did not start"
        [ $waited -lt 100 ] || pl_fail "Xvfb did not report its display"
    done
    PL_XVFB_DISPLAY=":$(head -n 1 "$displayFile")"
    rm -f "$displayFile"
}

# A Wine session for the programs of build $1 in the prefix $2, which exists: a private X
# server of size $3 (at least the prefix's desktop) and the prefix's wineserver, running
# until the script ends. The session's display is in PL_XVFB_DISPLAY.
#
# The wineserver is started persistently and one Wine program is run to completion, so
# that Wine's background services are up before anything measures or waits on pipes: they
# inherit the output pipes of the first Wine process and would hold ctest up.
PL_SESSIONS=()
pl_start_wine_session() {
    local build=$1 prefix=$2 size=$3 loader server
    loader=$(pl_wine_loader "$build") server=$(pl_wine_server "$build")
    [ ${#PL_SESSIONS[@]} -gt 0 ] || trap pl_end_wine_sessions EXIT
    pl_start_xvfb "$size"
    PL_SESSIONS+=("$server $prefix")
    WINEPREFIX=$prefix "$server" -p
    DISPLAY=$PL_XVFB_DISPLAY WINEPREFIX=$prefix WINELOADER=$loader WINEDEBUG=-all \
        "$loader" cmd /c exit >/dev/null 2>&1 </dev/null
}

pl_end_wine_sessions() {
    local session pid
    for session in "${PL_SESSIONS[@]}"; do
        WINEPREFIX=${session#* } "${session%% *}" -k >/dev/null 2>&1 || true
    done
    for pid in "${PL_XVFB_PIDS[@]}"; do
        kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    done
    PL_SESSIONS=() PL_XVFB_PIDS=()
}

# One private Wine session for the rest of the script, for the programs of build $1: a
# fresh prefix at $2 with a virtual desktop of size $3 on a private X server of size $4.
# Exports what `pl_wine` and Wine's own tools need: WINEPREFIX, WINELOADER, DISPLAY.
pl_private_wine_session() {
    local build=$1 prefix=$2
    rm -rf "$prefix"
    pl_make_wine_prefix "$build" "$prefix" "$3"
    pl_start_wine_session "$build" "$prefix" "$4"
    export WINEPREFIX=$prefix WINELOADER=$(pl_wine_loader "$build") WINEDEBUG=-all
    export DISPLAY=$PL_XVFB_DISPLAY
}

# Runs a Windows program with the loader of WINELOADER (see pl_private_wine_session).
pl_wine() { "$WINELOADER" "$@"; }
