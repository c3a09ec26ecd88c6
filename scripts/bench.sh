#!/usr/bin/env bash
# Runs every benchmark script in bench/ against an optimised build.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$root/$build" && pwd)
status=0
summary=$(mktemp)
trap 'rm -f "$summary"' EXIT
for script in "$root"/bench/*.sh; do
    [ -e "$script" ] || continue
    echo "== $(basename "$script" .sh)"
    # Each benchmark's "summary" lines go to the table at the end, the rest as it comes.
    bash "$script" "$build" | while IFS= read -r line; do
        case $line in
        summary$'\t'*) echo "$line" >>"$summary" ;;
        *) echo "$line" ;;
        esac
    done || status=1
done
echo
echo "== summary"
awk -F'\t' 'BEGIN { printf "%-58s %-9s %-34s %s\n", "figure", "goal", "measured", "" }
    { printf "%-58s %-9s %-34s %s\n", $2, $3, $4, $5 }' "$summary"
exit $status
