#!/usr/bin/env bash
# Cross-builds quilvanor for Windows (ARCH=x86_64, the default, or i686) with
# Debian's MinGW-w64 against Qt for Windows (scripts/windows-qt.sh says where it
# comes from). Usage: windows-build.sh <build folder> [extra cmake options...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?usage: windows-build.sh <build folder> [cmake options...]}
shift
arch=${ARCH:-x86_64}
case "$arch" in x86_64) bits=64 ;; i686) bits=32 ;; *) echo "ARCH is x86_64 or i686" >&2; exit 2 ;; esac
# A build folder keeps its compiler in CMake's cache: one made for the other
# bitness would quietly build that one again.
cache=$build/CMakeCache.txt
if [ -f "$cache" ] && ! grep -q "^QT_CHAINLOAD_TOOLCHAIN_FILE:[A-Z]*=.*/mingw$bits\.cmake$" "$cache"; then
    echo "windows-build.sh: $build was configured for the other bitness, not ARCH=$arch:" \
         "give each bitness its own build folder (or remove this one)" >&2
    exit 1
fi
prefix=$(ARCH=$arch "$root/scripts/windows-qt.sh")
cmake -G Ninja -S "$root" -B "$build" \
    -DCMAKE_TOOLCHAIN_FILE="$prefix/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$root/cmake/mingw$bits.cmake" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    "$@" >/dev/null
cmake --build "$build" -j"${JOBS:-$(nproc)}"
