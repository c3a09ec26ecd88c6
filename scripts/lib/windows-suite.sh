#!/usr/bin/env bash
# Runs a Windows build's tests under the `wine` found in PATH, in the Wine
# prefix QUILVANOR_WINEPREFIX (made here when missing).
# Usage: windows-suite.sh <windows build folder>
set -euo pipefail
build=${1:?usage: windows-suite.sh <windows build folder>}
jobs=${JOBS:-$(nproc)}
export WINEPREFIX=${QUILVANOR_WINEPREFIX:?the Wine prefix is not named}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# A prefix is ready once Wine's own system files are in it: a first start
# that stopped part-way (seen once, under load) leaves its registry without
# them, and every later Wine program would fail to load. Such a prefix is made
# again; a second failure shows what Wine said.
prefix_ready() { [ -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ]; }
for attempt in 1 2; do
    prefix_ready && break
    echo "Preparing the Wine prefix $WINEPREFIX"
    find "$WINEPREFIX" -mindepth 1 -delete 2>/dev/null || true
    mkdir -p "$WINEPREFIX"
    LANG=fr_FR.UTF-8 wineboot --init >"$WINEPREFIX.boot.log" 2>&1 || true
    wineserver --wait || true
done
if ! prefix_ready; then
    echo "Wine could not prepare the prefix $WINEPREFIX:" >&2
    cat "$WINEPREFIX.boot.log" >&2
    exit 1
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
# One Wine session for the whole suite, opened here with its output nowhere.
# The first Wine process of a session starts Wine's services, which keep that
# process's standard streams open until the session ends: opened by a test,
# they held CTest's pipe to that test open to the end of the suite, and the
# test ran into its time limit when the suite ran long. The session ends with
# the suite, whatever the way out.
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1
cd "$build"
ctest --output-on-failure -j"$jobs"
