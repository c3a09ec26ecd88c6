#!/usr/bin/env bash
# Runs the program on the embedded default: a sample KORVA 8 database behind a
# project-local ODBC data source "DB_KORVA8", and the family portal stand-in on
# the build's base address. The user's own ODBC configuration is not touched.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$root/$build" && pwd)
work="$root/demo-work"
mkdir -p "$work"

source "$root/scripts/lib/sample-source.sh"
sample_source "$build" "$work"

standin_pid=
if [ -x "$build/portal-standin" ]; then
    base_url=$(grep -E '^PORTAL_BASE_URL:' "$build/CMakeCache.txt" | cut -d= -f2-)
    port=${base_url##*:}
    port=${port%%/*}
    [[ "$port" =~ ^[0-9]+$ ]] || port=80
    "$build/portal-standin" --port "$port" --db "$work/portal.db" --seed-from "$work/korva8.db" > "$work/portal-standin.log" 2>&1 &
    standin_pid=$!
    trap '[ -n "$standin_pid" ] && kill "$standin_pid" 2>/dev/null; wait "$standin_pid" 2>/dev/null || true' EXIT
    sleep 0.5
    echo "Portal stand-in on $base_url (log: $work/portal-standin.log)"
fi

echo "Statement logs go to $work"
cd "$work"
"$build/quilvanor"
