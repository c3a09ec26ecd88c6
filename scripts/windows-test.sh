#!/usr/bin/env bash
# Builds the test programs for Windows (ARCH=x86_64, the default, or i686) and
# runs every one under Wine, headless, beside the host's build of the sample
# database tool and the portal stand-in (and of the program, which the zipped
# Windows program is compared with). The 64-bit ones run under the host's
# wine64; the 32-bit ones under Debian's 32-bit Wine in an i386 chroot that
# scripts/wine32-chroot.sh prepares once (as root only). On a machine that runs
# no 32-bit x86 code at all, the 32-bit test programs are still built, and the
# last line says that their run was skipped and why (exit status 0).
# Usage: windows-test.sh <windows build folder> <host build folder>
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?usage: windows-test.sh <windows build folder> <host build folder>}
host=${2:?usage: windows-test.sh <windows build folder> <host build folder>}
jobs=${JOBS:-$(nproc)}
arch=${ARCH:-x86_64}
case "$arch" in x86_64) bits=64 ;; i686) bits=32 ;; *) echo "ARCH is x86_64 or i686" >&2; exit 2 ;; esac

skipped=
if [ "$bits" = 32 ]; then
    status=0
    skipped=$("$root/scripts/wine32-chroot.sh" probe) || status=$?
    case $status in
    0) "$root/scripts/wine32-chroot.sh" prepare ;;
    3) echo "This machine runs no 32-bit x86 code: the 32-bit tests will be built, not run." ;;
    *) exit $status ;;
    esac
fi

cmake -S "$root" -B "$host" -DCMAKE_BUILD_TYPE=Release -DQUILVANOR_TESTS=OFF >/dev/null
cmake --build "$host" -j"$jobs" --target korva8-sample portal-standin quilvanor
host=$(cd "$host" && pwd)

ARCH=$arch "$root/scripts/windows-build.sh" "$build" -DQUILVANOR_WERROR=ON -DQUILVANOR_HOST_BUILD_DIR="$host"

# One Wine prefix a bitness, made before the runs start side by side.
cache=${QUILVANOR_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quilvanor}
export QUILVANOR_WINEPREFIX=${QUILVANOR_WINEPREFIX:-$cache/wine$bits}
mkdir -p "$QUILVANOR_WINEPREFIX"
if [ -n "$skipped" ]; then
    echo "The 32-bit Windows suite was skipped, not run: $skipped."
    exit 0
fi
suite=("$root/scripts/lib/windows-suite.sh" "$build")
if [ "$bits" = 32 ]; then
    # Inside the chroot, the folders the tests read and write at their own paths.
    qt=$(ARCH=$arch "$root/scripts/windows-qt.sh")
    exec "$root/scripts/wine32-chroot.sh" run "$root" "$build" "$host" "$qt" "$QUILVANOR_WINEPREFIX" \
        ${TMPDIR:+"$TMPDIR"} -- "${suite[@]}"
fi
exec "${suite[@]}"
