#!/usr/bin/env bash
# Runs one Windows test program under Wine. Wine's ODBC bridge hands the calls
# to the host's unixODBC, which reads the data sources from the file ODBCINI
# names when the process starts: each run gets a file of its own, in a folder
# of its own, that the test fills in. The host side needs a UTF-8 character
# type (or accented column names are lost on the way to unixODBC) and Wine
# takes its regional settings from the same locale: fr_FR.UTF-8 gives both.
set -uo pipefail
work=$(mktemp -d "${TMPDIR:-/tmp}/quilvanor-wine-XXXXXX")
trap 'rm -rf "$work"' EXIT
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
exit $status
