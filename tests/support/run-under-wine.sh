#!/usr/bin/env bash
# Runs one Windows test program under Wine. Wine's ODBC bridge hands the calls
# to the host's unixODBC, which reads the data sources from the file ODBCINI
# names when the process starts: each run gets a file of its own, in a folder
# of its own, that the test fills in. The host side needs a UTF-8 character
# type (or accented column names are lost on the way to unixODBC) and Wine
# takes its regional settings from the same locale: fr_FR.UTF-8 gives both.
set -uo pipefail
work=$(mktemp -d "${TMPDIR:-/tmp}/quilvanor-wine-XXXXXX")
watcher=

stop() {
    # The watcher and every host program it started (a stand-in left by a test that died).
    [ -n "$watcher" ] && kill -TERM -- "-$watcher" 2>/dev/null
    rm -rf "$work"
}
trap stop EXIT

# The test's host programs: the test names a shell script in this folder (by
# renaming its request into it) and the watcher runs it; a Windows program
# that starts a host program itself upsets Wine's sockets in its own process.
# The watcher only reads a request: the test removes it once the script runs.
requests="$work/requests"
mkdir "$requests"
export QUILVANOR_HOST_REQUESTS="$requests"
setsid bash -c '
    inotifywait -m -e moved_to --format %f "$1" 2>"$1.ready" | while read -r name; do
        case "$name" in
        *.request) script=$(cat "$1/$name"); sh "$script" </dev/null >/dev/null 2>&1 & ;;
        esac
    done' watcher "$requests" &
watcher=$!
until grep -q 'Watches established' "$requests.ready" 2>/dev/null; do sleep 0.02; done
: > "$work/odbc.ini"
export ODBCINI="$work/odbc.ini" ODBCSYSINI=/etc
export LANG=fr_FR.UTF-8 LC_ALL=fr_FR.UTF-8
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX=${QUILVANOR_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/quilvanor/wine64}
# Qt Test writes nothing to a standard output that is not a Windows console:
# the results go to a file, shown once the test ends.
results="$work/results.txt"
wine "$@" -o "Z:${results//\//\\},txt"
status=$?
cat "$results" 2>/dev/null
# A test counts only when it ran to its end: Qt Test closes its results with
# the "Totals:" line. Wine's own status says nothing of a program that could
# not start (a missing DLL, the other bitness' Wine), which may still be 0.
if ! grep -q '^Totals: ' "$results" 2>/dev/null; then
    echo "run-under-wine.sh: $1 left no Qt Test results (Wine's status $status): the test did not run" >&2
    exit 1
fi
exit $status
