#!/usr/bin/env bash
# The probe that decides whether the 32-bit Windows suite runs or is skipped
# must not say "no" on a machine that runs 32-bit programs, nor "yes" on one
# that does not: its verdict is checked against a 32-bit program made here by
# the assembler and linker, and its own writer against the 64-bit twin of its
# program, which runs on every machine of ours.
# Usage: x86-32-probe-tells-the-truth.sh <the probe>
set -uo pipefail
probe=${1:?usage: x86-32-probe-tells-the-truth.sh <the probe>}
work=$(mktemp -d "${TMPDIR:-/tmp}/quilvanor-probe-test-XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

if "$probe" --control >"$work/control" 2>&1; then
    echo "PASS: the probe's 64-bit twin runs and is read as running"
else
    fail "the probe's writer or its reading of a run is wrong: $(cat "$work/control")"
fi

printf '.code32\n.globl _start\n_start:\n mov $1, %%eax\n mov $42, %%ebx\n int $0x80\n' >"$work/exit32.s"
as --32 -o "$work/exit32.o" "$work/exit32.s" && ld -m elf_i386 -o "$work/exit32" "$work/exit32.o" \
    || { echo "FAIL: binutils could not make a 32-bit program"; exit 1; }
"$work/exit32" >/dev/null 2>&1
linked=$?
verdict=0
"$probe" >"$work/cause" 2>&1 || verdict=$?
cause=$(cat "$work/cause")
if [ $linked -eq 42 ]; then
    [ $verdict -eq 0 ] && echo "PASS: 32-bit programs run here, and the probe says so" \
        || fail "32-bit programs run here, but the probe says: $cause (exit $verdict)"
elif [ $verdict -ne 3 ]; then
    fail "32-bit programs do not run here (exit $linked), but the probe exits $verdict"
elif [ "$(wc -l <"$work/cause")" -ne 1 ] || { [ $linked -eq 126 ] && [[ $cause != *"Exec format error"* ]]; }; then
    fail "the probe's cause is not one line naming what the kernel said: $cause"
else
    echo "PASS: 32-bit programs do not run here (exit $linked), and the probe says why: $cause"
fi
exit $failures
