#!/usr/bin/env bash
# Qt 6 for 64-bit Windows, cross-built statically from Debian's own qt6-base
# source package (the same version as the host tools in qt6-base-dev-tools,
# which the cross build runs: moc, uic, rcc).
#
# The install lands in a cache outside the work tree, keyed by the source
# version and a hash of the configure options, so that every build folder, CI
# and later runs reuse it; it is built only when that folder is missing. Prints
# the install folder as its last line.
#
#   bash scripts/windows/build-qt.sh            build when missing, print the folder
#   bash scripts/windows/build-qt.sh --print    only print the folder (built or not)
#
# TESSARO_CACHE=<folder>  cache root (default ~/.cache/tessaro)
# TESSARO_QT_JOBS=<n>     parallel build jobs (default: all cores)
# The build runs at the lowest CPU priority (nice 19): it takes about half an
# hour of both cores here and should not starve anything else.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
cache=${TESSARO_CACHE:-$HOME/.cache/tessaro}

version=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools 2>/dev/null || true)
if [ -z "$version" ]; then
    echo "qt6-base-dev-tools is not installed (scripts/install-packages.sh --windows)" >&2
    exit 1
fi
upstream=${version%%+*}  # 6.4.2+dfsg-10 -> 6.4.2

options=(
    -DCMAKE_BUILD_TYPE=Release
    -DQT_HOST_PATH=/usr
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DBUILD_SHARED_LIBS=OFF
    -DQT_BUILD_EXAMPLES=OFF
    -DQT_BUILD_TESTS=OFF
    -DQT_BUILD_BENCHMARKS=OFF
    # Debian's source leaves out src/3rdparty/wintab, which the tablet support
    # of the windows platform plugin includes.
    -DFEATURE_tabletevent=OFF
    # Modules the program does not use. testlib stays: the window tests use it.
    -DFEATURE_sql=OFF
    -DFEATURE_network=OFF
    -DFEATURE_dbus=OFF
    -DFEATURE_printsupport=OFF
    -DFEATURE_concurrent=OFF
    -DFEATURE_xml=OFF
    -DFEATURE_jpeg=OFF
    -DFEATURE_vulkan=OFF
    # Qt's bundled copies: nothing beside the program needs installing.
    -DFEATURE_system_zlib=OFF
    -DFEATURE_system_pcre2=OFF
    -DFEATURE_system_harfbuzz=OFF
    -DFEATURE_system_freetype=OFF
    -DFEATURE_system_png=OFF
    -DFEATURE_system_doubleconversion=OFF
    -DFEATURE_freetype=ON  # the offscreen platform plugin needs it
    # opengl stays on: the windows platform plugin of 6.4.2 does not compile
    # with it off, and with it on Qt loads OpenGL only when asked for.
)
options_hash=$( (printf '%s\n' "$version" "${options[@]}"; cat "$root/scripts/windows/mingw-for-qt.cmake") |
    sha256sum | cut -c1-12)
install=$cache/qt-$upstream-windows-$options_hash

if [ "${1:-}" = --print ]; then
    echo "$install"
    exit 0
fi
if [ -f "$install/done" ]; then
    echo "$install"
    exit 0
fi

work=$cache/qt-build-$options_hash
mkdir -p "$work"
# One build at a time per cache (CI and a developer's run could meet).
exec 9>"$work/lock"
flock 9
if [ -f "$install/done" ]; then
    echo "$install"
    exit 0
fi

source "$root/scripts/windows/private-apt.sh"
source_dir=$(compgen -G "$work/sources/qt6-base-*/" | head -n 1 || true)
if [ -z "$source_dir" ] || [ ! -f "$work/sources/unpacked" ]; then
    rm -rf "$work/sources"
    private_apt_source "$work/sources" "qt6-base=$version"
    touch "$work/sources/unpacked"
    source_dir=$(compgen -G "$work/sources/qt6-base-*/" | head -n 1)
fi

started=$(date +%s)
rm -rf "$install"
cmake -S "$source_dir" -B "$work/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/scripts/windows/mingw-for-qt.cmake" \
    -DCMAKE_INSTALL_PREFIX="$install" "${options[@]}"
nice -n 19 cmake --build "$work/build" -j "${TESSARO_QT_JOBS:-$(nproc)}"
cmake --install "$work/build"
printf 'Debian qt6-base %s\n' "$version" >"$install/done"
printf '%s\n' "${options[@]}" >>"$install/done"
echo "Qt for Windows built in $(($(date +%s) - started)) s" >&2
# The build folder is large and not needed once installed.
rm -rf "$work/build"
echo "$install"
