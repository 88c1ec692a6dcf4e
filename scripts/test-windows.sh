#!/usr/bin/env bash
# The Windows build of the core and tessaro-cli, tested under Wine.
#
# Installs what is missing (mingw-w64, Wine, googletest's sources), fetches the
# Debian source packages of the libraries the core links (with a private apt
# configuration: the machine's /etc/apt is never changed) and cross-builds them
# for 64-bit Windows into build-windows-deps/, cross-builds the core library,
# tessaro-cli.exe and the core test program into build-windows/, then runs the
# core tests and a tessaro-cli.exe round trip on the test fixtures under Wine,
# with a Wine prefix of its own in build-windows/wine. Fails when anything
# fails.
#
# With Qt for Windows (scripts/windows/build-qt.sh: from its cache outside the
# work tree, or built once) it also builds tessaro.exe, tessaro-window.exe,
# the renderer and the window tests, and runs those under Wine on Qt's
# offscreen platform (scripts/windows/run-gui-under-wine.sh).
#   --core        the core, tessaro-cli.exe and the core tests only (no Qt)
#   --build-only  build the programs (tessaro-cli.exe, and tessaro.exe unless
#                 --core), no tests, no Wine
#
# TESSARO_WINDOWS_BUILD_TYPE=<type>: the CMake build type (default Debug).
# TESSARO_BUILD_LOCK=<file>: run each build and each Wine run under flock on
# that file (a machine whose cores several developers share).
# TESSARO_WINDOWS_DEPS=<folder>, TESSARO_WINDOWS_BUILD=<folder>: other folders
# for the libraries and for the build (a run from scratch beside the usual one).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

with_windows=yes build_only=no
for argument in "$@"; do
    case $argument in
        --core) with_windows=no ;;
        --build-only) build_only=yes ;;
        *) echo "usage: test-windows.sh [--core] [--build-only]" >&2; exit 2 ;;
    esac
done
build_type=${TESSARO_WINDOWS_BUILD_TYPE:-Debug}

deps=${TESSARO_WINDOWS_DEPS:-$root/build-windows-deps}
prefix=$deps/prefix
build=${TESSARO_WINDOWS_BUILD:-$root/build-windows}
toolchain=$root/cmake/mingw-w64-x86_64.cmake
jobs=$(nproc)

locked() {
    if [ -n "${TESSARO_BUILD_LOCK:-}" ]; then flock "$TESSARO_BUILD_LOCK" "$@"; else "$@"; fi
}
step() { printf '\n== %s\n' "$*"; }

step "Packages"
bash scripts/install-packages.sh --windows

# --- Sources of the libraries, from Debian's own source packages ------------

source_packages=(libxml2 expat minizip libcsv)
# FreeXL 2.0 (it reads .xlsx and .ods too) comes from the next release, trixie,
# as on Linux (scripts/build-freexl.sh); Debian 12 has 1.0.6.
freexl_version=2.0.0-1
sources=$deps/sources
source "$root/scripts/windows/private-apt.sh"
fetch_sources() {
    mkdir -p "$sources"
    local package missing=()
    for package in "${source_packages[@]}"; do
        compgen -G "$sources/$package-*/" >/dev/null || missing+=("$package")
    done
    # apt with a configuration of its own: the machine's /etc/apt stays as it is.
    [ ${#missing[@]} -eq 0 ] || private_apt_source "$sources" "${missing[@]}"
    compgen -G "$sources/trixie/freexl-*/" >/dev/null ||
        private_apt_source_of_release trixie "$sources/trixie" "freexl=$freexl_version"
}
source_dir() { local found=($(compgen -G "$sources/$1-*/")); printf '%s\n' "${found[0]}"; }

step "Source packages"
fetch_sources

# --- Libraries for the target -------------------------------------------------

cross_cmake() {  # name source-folder cmake-options...
    local name=$1 source=$2
    shift 2
    [ -f "$deps/done-$name" ] && return 0
    cmake -S "$source" -B "$deps/build/$name" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DTESSARO_WINDOWS_PREFIX="$prefix" \
        -DBUILD_SHARED_LIBS=OFF "$@"
    ! declare -F "after_configure_$name" >/dev/null || "after_configure_$name" "$deps/build/$name"
    locked cmake --build "$deps/build/$name" -j "$jobs"
    cmake --install "$deps/build/$name"
    touch "$deps/done-$name"
}

step "googletest for Windows"
cross_cmake googletest /usr/src/googletest -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON

step "libxml2 for Windows"
cross_cmake libxml2 "$(source_dir libxml2)" -DLIBXML2_WITH_ICONV=OFF -DLIBXML2_WITH_LZMA=OFF \
    -DLIBXML2_WITH_ZLIB=OFF -DLIBXML2_WITH_PYTHON=OFF -DLIBXML2_WITH_HTTP=OFF -DLIBXML2_WITH_FTP=OFF \
    -DLIBXML2_WITH_MODULES=OFF -DLIBXML2_WITH_TESTS=OFF -DLIBXML2_WITH_PROGRAMS=OFF -DLIBXML2_WITH_LEGACY=OFF

step "iconv for Windows"
cross_cmake iconv "$root/scripts/windows/iconv"

# A static library of a few C files of a source package, without its own build.
cross_archive() {  # name source-folder header-folder "headers" "sources" [cflags...]
    local name=$1 source=$2 include=$3 headers=$4 files=$5
    shift 5
    [ -f "$deps/done-$name" ] && return 0
    local objects=$deps/build/$name file
    mkdir -p "$objects" "$prefix/lib" "$prefix/include/$include"
    for file in $files; do
        locked x86_64-w64-mingw32-gcc-posix -O2 -I"$prefix/include" "$@" -c "$source/$file" \
            -o "$objects/${file%.c}.o"
    done
    rm -f "$prefix/lib/lib$name.a"
    x86_64-w64-mingw32-ar rcs "$prefix/lib/lib$name.a" "$objects"/*.o
    for file in $headers; do cp "$source/$file" "$prefix/include/$include/"; done
    touch "$deps/done-$name"
}

step "expat, minizip and libcsv for Windows"
# Debian's security patches to expat test "#if XML_DTD == 1", as its own
# autotools build defines it; expat's CMake build defines the switches empty.
after_configure_expat() {
    sed -i -E 's/^#define (XML_DTD|XML_NS|XML_GE)$/#define \1 1/' "$1/expat_config.h"
}
# Debian's expat source keeps the library in expat/, below the repository's top.
expat_source=$(source_dir expat)
[ -f "$expat_source/CMakeLists.txt" ] || expat_source=${expat_source%/}/expat
cross_cmake expat "$expat_source" -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF \
    -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF -DEXPAT_BUILD_FUZZERS=OFF -DEXPAT_SHARED_LIBS=OFF
# FreeXL reads the zip container of .xlsx and .ods through minizip's unzip part.
cross_archive minizip "$(source_dir minizip)" minizip "unzip.h ioapi.h" "unzip.c ioapi.c"
cross_archive csv "$(source_dir libcsv)" . "csv.h" "libcsv.c"

step "FreeXL $freexl_version for Windows"
if [ ! -f "$deps/done-freexl-$freexl_version" ]; then
    rm -rf "$deps/build/freexl"
    mkdir -p "$deps/build/freexl"
    (cd "$deps/build/freexl" &&
        "$(compgen -G "$sources/trixie/freexl-*/" | head -n 1)/configure" --host=x86_64-w64-mingw32 \
            --prefix="$prefix" --disable-shared --enable-static CC=x86_64-w64-mingw32-gcc-posix \
            CPPFLAGS="-I$prefix/include -DXML_STATIC" LDFLAGS="-L$prefix/lib" LIBS="-lz -lexpat -liconv" &&
        locked make -j "$jobs" &&
        make install)
    # A static FreeXL needs its zip and XML readers and the iconv above
    # wherever it is linked.
    sed -i '/^Libs:/ s/$/ -lminizip -lz -lexpat -liconv/' "$prefix/lib/pkgconfig/freexl.pc"
    touch "$deps/done-freexl-$freexl_version"
fi

# --- The core, tessaro-cli.exe and the core tests -----------------------------

step "Core, tessaro-cli.exe and core tests for Windows"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
configure() {
    cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE="$build_type" \
        -DTESSARO_WINDOWS_PREFIX="$prefix" "${launcher[@]}" "$@"
}
if [ "$with_windows" = yes ]; then
    # Qt for Windows first (from its cache, or built once, about half an
    # hour), so that one configuration serves the core and the windows.
    step "Qt for Windows"
    qt=$(bash scripts/windows/build-qt.sh | tail -n 1)
    configure -DTESSARO_WINDOWS_QT="$qt" -DTESSARO_GUI=ON
else
    configure
fi
core_targets=(tessaro-cli)
[ "$build_only" = yes ] || core_targets+=(tessaro_core_tests)
locked cmake --build "$build" -j "$jobs" --target "${core_targets[@]}"

if [ "$with_windows" = yes ]; then
    step "tessaro.exe, tessaro-window.exe, the renderer and the window tests for Windows"
    windows_targets=(tessaro)
    [ "$build_only" = yes ] || windows_targets+=(tessaro-window tessaro-render tessaro_gui_tests)
    locked cmake --build "$build" -j "$jobs" --target "${windows_targets[@]}"
fi
[ "$build_only" = yes ] && exit 0

# --- Under Wine ---------------------------------------------------------------

locked bash scripts/windows/run-under-wine.sh "$build"
if [ "$with_windows" = yes ]; then
    locked bash scripts/windows/run-gui-under-wine.sh "$build"
fi
