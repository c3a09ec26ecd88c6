#!/usr/bin/env bash
# The Windows test runner reports a test passed only when it ran: each program
# below is run through it as a test is, and must be reported failed, saying why.
# Usage: runner-fails-what-did-not-run.sh <runner> <a test program>
set -uo pipefail
runner=${1:?usage: runner-fails-what-did-not-run.sh <runner> <a test program>}
program=${2:?usage: runner-fails-what-did-not-run.sh <runner> <a test program>}
work=$(mktemp -d "${TMPDIR:-/tmp}/quilvanor-runner-XXXXXX")
trap 'rm -rf "$work"' EXIT
printf 'MZ not a program\r\n' > "$work/broken.exe"
failures=0
expect_failed() { # WHAT COMMAND...
    local what=$1 output
    shift
    if output=$("$@" 2>&1); then
        echo "FAIL: the runner passed $what"; failures=$((failures + 1))
    elif ! grep -q 'left no Qt Test results' <<<"$output"; then
        echo "FAIL: the runner failed $what without saying that it did not run:"; echo "$output"
        failures=$((failures + 1))
    else
        echo "PASS: $what is reported failed"
    fi
}
expect_failed "a file that is no program" "$runner" "$work/broken.exe"
expect_failed "a test program whose DLLs cannot be found" env WINEPATH= "$runner" "$program"
# cmd.exe runs "exit 0 -o <results>" and ends well: Wine's status is 0.
expect_failed "a program that ends well without running a test" "$runner" cmd /c exit 0
exit $failures
