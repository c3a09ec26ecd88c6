#!/usr/bin/env bash
# Builds Qt 6.4.2 (qtbase) for Windows with Debian 12's MinGW-w64 from Debian's
# own qt6-base source package and installs it into the prefix given as the only
# argument (ARCH=x86_64, the default, or i686). About an hour on two cores.
# Two mends to Debian's source, both for the Windows platform plugin: Debian
# leaves out src/3rdparty/wintab, so Wine's LGPL wintab.h/pktdef.h (libwine-dev)
# take its place with the two Wine macros they rely on; and with OpenGL off,
# qwindowswindow.cpp still tests dynamicgl.
set -euo pipefail
prefix=${1:?usage: build-qt-windows.sh <install prefix>}
root=$(cd "$(dirname "$0")/.." && pwd)
arch=${ARCH:-x86_64}
case "$arch" in x86_64) bits=64 ;; i686) bits=32 ;; *) echo "ARCH is x86_64 or i686" >&2; exit 2 ;; esac
work=${TMPDIR:-/tmp}/quilvanor-qt-windows
mkdir -p "$work" && cd "$work"

if ! ls qt6-base_6.4.2*.orig.tar.xz >/dev/null 2>&1; then
    if ! apt-get source --download-only qt6-base; then
        echo "apt-get source needs deb-src lines for the Debian archive, for example in" >&2
        echo "/etc/apt/sources.list.d/debian-src.list:" >&2
        echo "  deb-src http://deb.debian.org/debian bookworm main" >&2
        echo "then: apt-get update" >&2
        exit 1
    fi
fi
src=$work/qtbase-everywhere-src-6.4.2
[ -d "$src" ] || tar xf qt6-base_6.4.2*.orig.tar.xz

wintab=$src/src/3rdparty/wintab
if [ ! -f "$wintab/wintab.h" ]; then
    mkdir -p "$wintab"
    cp /usr/include/wine/wine/windows/wintab.h "$wintab/wine_wintab.h"
    cp /usr/include/wine/wine/windows/pktdef.h "$wintab/pktdef.h"
    cat > "$wintab/wintab.h" <<'H'
/* Wine's wintab.h (LGPL) with the two macros it takes from Wine's own headers. */
#pragma once
#include <windows.h>
#ifdef UNICODE
# define DECL_WINELIB_TYPE_AW(type) typedef type##W type;
# define WINELIB_NAME_AW(x) x##W
#else
# define DECL_WINELIB_TYPE_AW(type) typedef type##A type;
# define WINELIB_NAME_AW(x) x##A
#endif
#include "wine_wintab.h"
#ifndef API
# define API WINAPI
#endif
H
fi
sed -i 's/#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/' \
    "$src/src/plugins/platforms/windows/qwindowswindow.cpp"

cmake -G Ninja -S "$src" -B "$work/build-$bits" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw$bits.cmake" -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=ON \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DFEATURE_opengl=OFF -DFEATURE_dbus=OFF -DFEATURE_sql_odbc=ON -DFEATURE_sql_sqlite=OFF \
    -DFEATURE_sql_psql=OFF -DFEATURE_sql_mysql=OFF -DFEATURE_sql_ibase=OFF \
    -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_openssl=OFF -DFEATURE_icu=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
    -DFEATURE_system_freetype=OFF -DFEATURE_system_jpeg=OFF -DFEATURE_system_doubleconversion=OFF \
    -DFEATURE_system_libpng=OFF
ninja -C "$work/build-$bits"
ninja -C "$work/build-$bits" install
