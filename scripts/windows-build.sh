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
prefix=$(ARCH=$arch "$root/scripts/windows-qt.sh")
cmake -G Ninja -S "$root" -B "$build" \
    -DCMAKE_TOOLCHAIN_FILE="$prefix/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$root/cmake/mingw$bits.cmake" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    "$@" >/dev/null
cmake --build "$build" -j"${JOBS:-$(nproc)}"
