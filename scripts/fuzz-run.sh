#!/bin/sh
# Runs every fuzz target of a fuzz build for a while, each with its own corpus
# kept in the build folder, and prints how many inputs each one tried.
# usage: scripts/fuzz-run.sh <fuzz build folder> [seconds per target, 60]
set -eu
build=${1:?usage: scripts/fuzz-run.sh <fuzz build folder> [seconds]}
seconds=${2:-60}
status=0
for target in "$build"/fuzz/fuzz_*; do
    [ -x "$target" ] && [ -f "$target" ] || continue
    name=$(basename "$target")
    corpus="$build/corpus/$name"
    mkdir -p "$corpus"
    log="$build/$name.log"
    if "$target" -max_total_time="$seconds" -print_final_stats=1 "$corpus" >"$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
        echo "$name: ${runs:-?} inputs in ${seconds} s, no failure"
    else
        echo "$name: FAILED, see $log" >&2
        tail -n 30 "$log" >&2
        status=1
    fi
done
exit $status
