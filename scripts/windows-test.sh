#!/usr/bin/env bash
# Builds the test programs for Windows (ARCH=x86_64) and runs every one under
# Wine, headless, beside the host's build of the sample database tool and the
# portal stand-in. Usage: windows-test.sh <windows build folder> <host build folder>
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?usage: windows-test.sh <windows build folder> <host build folder>}
host=${2:?usage: windows-test.sh <windows build folder> <host build folder>}
jobs=${JOBS:-$(nproc)}

cmake -S "$root" -B "$host" -DCMAKE_BUILD_TYPE=Release -DQUILVANOR_TESTS=OFF >/dev/null
cmake --build "$host" -j"$jobs" --target korva8-sample portal-standin
host=$(cd "$host" && pwd)

"$root/scripts/windows-build.sh" "$build" -DQUILVANOR_WERROR=ON -DQUILVANOR_HOST_BUILD_DIR="$host"

# One Wine prefix for the runs, made before they start side by side.
export WINEPREFIX=${QUILVANOR_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/quilvanor/wine64}
export QUILVANOR_WINEPREFIX=$WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Preparing the Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    LANG=fr_FR.UTF-8 wineboot --init >/dev/null 2>&1
    wineserver --wait
fi
# Wine keeps the host's QT_ variables from Windows programs: the tests' platform
# comes from the prefix's own environment instead. The offscreen platform reads
# its fonts from one folder: the host's TrueType fonts, gathered there.
fonts=$WINEPREFIX/host-fonts
mkdir -p "$fonts"
find /usr/share/fonts/truetype -name '*.ttf' -exec ln -sf {} "$fonts/" \;
wine reg add 'HKCU\Environment' /v QT_QPA_PLATFORM /d offscreen /f >/dev/null 2>&1
wine reg add 'HKCU\Environment' /v QT_QPA_FONTDIR /d "Z:${fonts//\//\\}" /f >/dev/null 2>&1
wineserver --wait
cd "$build"
ctest --output-on-failure -j"$jobs"
