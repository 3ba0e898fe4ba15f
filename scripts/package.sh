#!/usr/bin/env bash
# Builds the Windows release into dist/, for each of the two builds (win32 and win64):
#   Prismolenteer-<version>-<build>.zip         the program to unpack anywhere
#   Prismolenteer-<version>-<build>-setup.exe   the installer (NSIS), per user, no
#                                               administrator rights
# Both hold the executable, the converter when it was built, filter\ with the shipped
# filters, the language modules in their <LCID>\ folders, README.txt and LICENSE.txt. The
# 64-bit installer is itself a 64-bit program, so that it can be tried where only 64-bit
# code runs. Built twice from the same commit, a zip is the same bytes: the files carry the
# commit's time and go in in one order.
#
#   scripts/package.sh                      build both Windows trees, then package them
#   scripts/package.sh --built TREE OUTDIR  package a tree already built (the packaging test)
set -euo pipefail
source "$(dirname "$0")/common.sh"

pl_ensure_packages "${PL_PACKAGE_PACKAGES[@]}"

# Everything in the archives carries the time of the commit the sources come from (zip
# stores local times: UTC here, whoever builds it).
export TZ=UTC
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$PL_ROOT" log -1 --format=%ct 2>/dev/null || echo 315532800)}

# Packages the built tree $1 into the folder $2 and prints the two files' paths.
package_tree() {
    local tree=$1 out=$2 version build
    version=$(sed -n 's/^#define PL_VERSION_TEXT *"\(.*\)"/\1/p' "$tree/generated/version.h")
    build=$(sed -n 's/^#define PL_BUILD_NAME *"\(.*\)"/\1/p' "$tree/generated/version.h")
    [ -n "$version" ] && [ -n "$build" ] || pl_fail "no version or build name in $tree/generated/version.h"

    local stage=$tree/package/Prismolenteer
    rm -rf "$tree/package"
    mkdir -p "$stage/filter" "$out"
    cp "$tree/Prismolenteer.exe" "$stage/"
    if [ -f "$tree/prismolenteer-cli.exe" ]; then
        cp "$tree/prismolenteer-cli.exe" "$stage/"
    fi
    cp "$PL_ROOT"/data/filter/*.plf "$stage/filter/"
    local module lcid
    for module in "$tree"/[0-9]*/PLRes.dll; do
        lcid=$(basename "$(dirname "$module")")
        mkdir -p "$stage/$lcid"
        cp "$module" "$stage/$lcid/"
    done
    # Windows line ends for the texts a user opens in Notepad.
    sed 's/$/\r/' "$PL_ROOT/package/README.txt" >"$stage/README.txt"
    sed 's/$/\r/' "$PL_ROOT/LICENSE" >"$stage/LICENSE.txt"
    chmod -R u=rwX,go=rX "$stage"
    find "$stage" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +

    # What the uninstaller removes: each file by name, then each folder if it is empty.
    local remove=$tree/package/remove.nsh
    (
        cd "$stage"
        find . -type f | LC_ALL=C sort | sed 's|^\./||; s|/|\\|g; s|.*|Delete "$INSTDIR\\&"|'
        find . -mindepth 1 -type d | LC_ALL=C sort -r | sed 's|^\./||; s|/|\\|g; s|.*|RMDir "$INSTDIR\\&"|'
    ) >"$remove"

    local zip=$out/Prismolenteer-$version-$build.zip setup=$out/Prismolenteer-$version-$build-setup.exe
    rm -f "$zip" "$setup"
    (cd "$tree/package" && find Prismolenteer -type f | LC_ALL=C sort | zip -q -X -D -9 "$zip" -@) ||
        pl_fail "zip failed"
    makensis -INPUTCHARSET UTF8 -V2 -DVERSION="$version" -DBUILD="$build" -DSTAGE="$stage" \
        -DREMOVE="$remove" -DICON="$PL_ROOT/res/prismolenteer.ico" -DOUTFILE="$setup" \
        "$PL_ROOT/package/setup.nsi" >&2 || pl_fail "makensis failed"
    printf '%s\n' "$zip" "$setup"
}

if [ "${1:-}" = --built ]; then
    [ $# -eq 3 ] || pl_fail "usage: $0 [--built TREE OUTDIR]"
    package_tree "$2" "$3"
    exit 0
fi

pl_ensure_packages "${PL_WINDOWS_BUILD_PACKAGES[@]}"
mkdir -p "$PL_BUILD"
for build in win32 win64; do
    pl_say "Building the $build tree..."
    pl_build_windows "$build"
    package_tree "$PL_BUILD/$build" "$PL_ROOT/dist"
done
