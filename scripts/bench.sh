#!/usr/bin/env bash
# Runs every benchmark script in bench/ against an optimised build.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$root/$build" && pwd)
status=0
for script in "$root"/bench/*.sh; do
    [ -e "$script" ] || continue
    echo "== $(basename "$script" .sh)"
    bash "$script" "$build" || status=1
done
exit $status
