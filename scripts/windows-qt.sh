#!/usr/bin/env bash
# Prints the install prefix of Qt 6.4.2 for Windows built with Debian's MinGW-w64
# (ARCH=x86_64, the default, or i686), making it ready when needed:
#  1. QT_WINDOWS_PREFIX, when set;
#  2. else the ready build ../shared/toolchains/qt-6.4.2-mingw<bits>.tar.xz beside
#     the project (present on the project's own machines and CI), unpacked once
#     into the cache folder;
#  3. else built once from Debian's own qt6-base source package into the cache
#     folder by scripts/build-qt-windows.sh: about an hour on two cores.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
arch=${ARCH:-x86_64}
case "$arch" in x86_64) bits=64 ;; i686) bits=32 ;; *) echo "ARCH is x86_64 or i686" >&2; exit 2 ;; esac

if [ -n "${QT_WINDOWS_PREFIX:-}" ]; then
    echo "$QT_WINDOWS_PREFIX"
    exit 0
fi
cache=${QUILVANOR_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quilvanor}
prefix=$cache/qt6-mingw$bits
if [ -f "$prefix/lib/cmake/Qt6/qt.toolchain.cmake" ]; then
    echo "$prefix"
    exit 0
fi
mkdir -p "$cache"
ready=$root/../shared/toolchains/qt-6.4.2-mingw$bits.tar.xz
if [ -f "$ready" ]; then
    echo "Unpacking $ready into $cache" >&2
    tar -C "$cache" -xJf "$ready"
else
    echo "No ready Qt for Windows ($ready): building it from Debian's qt6-base source" \
         "into $cache (slow: about an hour on two cores)." >&2
    ARCH=$arch "$root/scripts/build-qt-windows.sh" "$prefix" >&2
fi
echo "$prefix"
