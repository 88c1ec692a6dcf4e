#!/usr/bin/env bash
# Builds FreeXL 2.0, which reads .xls, .xlsx and .ods workbooks (Debian 12 ships
# 1.0.6, which reads .xls only), from the source package of Debian trixie,
# fetched with a private apt configuration (scripts/windows/private-apt.sh: the
# machine's /etc/apt is never changed). The library is built static and
# position-independent, once per version, options and compiler, into a cache
# outside the work tree; the last line printed is the folder it is installed in
# (lib/pkgconfig/freexl.pc there). Its own dependencies are Debian 12's
# libminizip-dev and libexpat1-dev (scripts/install-packages.sh).
# TESSARO_CACHE=<folder>: the cache (default ~/.cache/tessaro).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

version=2.0.0-1
options=(--disable-shared --enable-static --with-pic)
compiler=$(cc -dumpfullversion 2>/dev/null || cc --version | head -n 1)
key=$(printf '%s\n' "$version" "${options[@]}" "$compiler" | sha256sum | cut -c 1-12)
cache=${TESSARO_CACHE:-$HOME/.cache/tessaro}
prefix=$cache/freexl-$version-linux-$key

if [ ! -f "$prefix/done" ]; then
    mkdir -p "$cache"
    work=$(mktemp -d "$cache/freexl-build.XXXXXX")
    trap 'rm -rf "$work"' EXIT
    {
        source "$root/scripts/windows/private-apt.sh"
        private_apt_source_of_release trixie "$work/sources" "freexl=$version"
        source_dir=$(compgen -G "$work/sources/freexl-*/" | head -n 1)
        mkdir -p "$work/build"
        (cd "$work/build" &&
            "$source_dir/configure" --prefix="$prefix" "${options[@]}" &&
            make -j "$(nproc)" &&
            make install DESTDIR="$work/destination")
    } >&2
    # A static FreeXL needs its zip and XML readers wherever it is linked.
    sed -i '/^Libs:/ s/$/ -lminizip -lexpat/' "$work/destination$prefix/lib/pkgconfig/freexl.pc"
    touch "$work/destination$prefix/done"
    # Installed whole or not at all: a second run at the same time keeps its own.
    mkdir -p "$(dirname "$prefix")"
    mv -T "$work/destination$prefix" "$prefix" 2>/dev/null || [ -f "$prefix/done" ]
fi
printf '%s\n' "$prefix"
