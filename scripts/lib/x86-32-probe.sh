#!/usr/bin/env bash
# Whether this machine runs 32-bit x86 code, asked of the machine itself: the
# kernel's configuration may list IA32 emulation on a machine (a virtual one,
# say) that runs no 32-bit program. Two tiny programs are written and run:
#   - a 32-bit program that only exits with status 42: what the i386 chroot's
#     Wine needs (a 32-bit Linux process);
#   - a 64-bit program that switches to the 32-bit code segment, runs one
#     32-bit instruction and comes back to exit with status 42: what a WoW64
#     Wine needs (32-bit Windows code inside a 64-bit process).
#
#   x86-32-probe.sh          exit 0 when 32-bit programs run; otherwise exit 3
#                            and one line on standard output naming the cause
#   x86-32-probe.sh --control
#                            the same run on the 64-bit twin of the 32-bit
#                            program, written the same way: it must run here
set -uo pipefail
work=$(mktemp -d "${TMPDIR:-/tmp}/quilvanor-x86-32-XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT

# The ELF header and one loadable segment, then the code.
exit32=(
    '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00'
    '\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'
    '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'
    '\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' # mov eax,1 (exit); mov ebx,42; int 0x80
)
elf64_header=(
    '\x7f\x45\x4c\x46\x02\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x3e\x00\x01\x00\x00\x00'
    '\x78\x00\x40\x00\x00\x00\x00\x00\x40\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00'
    '\x00\x00\x00\x00\x40\x00\x38\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x05\x00\x00\x00'
    '\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x40\x00\x00\x00\x00\x00\x00\x00\x40\x00\x00\x00\x00\x00'
)
exit64=("${elf64_header[@]}"
    '\x84\x00\x00\x00\x00\x00\x00\x00\x84\x00\x00\x00\x00\x00\x00\x00\x00\x10\x00\x00\x00\x00\x00\x00'
    '\xb8\x3c\x00\x00\x00\xbf\x2a\x00\x00\x00\x0f\x05' # mov eax,60 (exit); mov edi,42; syscall
)
segment32=("${elf64_header[@]}"
    '\x99\x00\x00\x00\x00\x00\x00\x00\x99\x00\x00\x00\x00\x00\x00\x00\x00\x10\x00\x00\x00\x00\x00\x00'
    '\x6a\x23\x68\x81\x00\x40\x00\x48\xcb'         # push 0x23 (32-bit code); push 0x400081; retfq
    '\xb8\x01\x00\x00\x00\xea\x8d\x00\x40\x00\x33\x00' # mov eax,1; jmp far 0x33 (64-bit code):0x40008d
    '\xb8\x3c\x00\x00\x00\xbf\x2a\x00\x00\x00\x0f\x05' # mov eax,60; mov edi,42; syscall
)

write() { # NAME BYTES...: the program NAME in the work folder
    local name=$1 part
    shift
    : > "$work/$name"
    for part in "$@"; do printf "$part" >> "$work/$name"; done
    chmod +x "$work/$name"
}

# How running NAME went: nothing when it exited with 42, otherwise the cause.
ran() {
    local output status
    output=$("$work/$1" 2>&1)
    status=$?
    if [ $status -eq 42 ]; then
        return 0
    elif [ $status -eq 126 ] && [[ $output == *"Exec format error"* ]]; then
        echo "Exec format error"
    elif [ $status -gt 128 ]; then
        echo "killed by SIG$(kill -l $((status - 128)))"
    else
        echo "exit status $status${output:+ ($output)}"
    fi
    return 1
}

if [ "${1:-}" = --control ]; then
    write exit64 "${exit64[@]}"
    if cause=$(ran exit64); then exit 0; fi
    echo "the 64-bit control program did not run: $cause"
    exit 3
fi

write exit32 "${exit32[@]}"
write segment32 "${segment32[@]}"
if ran exit32 >/dev/null; then exit 0; fi
process_cause=$(ran exit32)
if segment_cause=$(ran segment32); then
    echo "this kernel runs no 32-bit x86 program (a 32-bit program that only exits: $process_cause)," \
        "the one way the project runs its 32-bit Wine; 32-bit code does run in a 64-bit process here," \
        "which a WoW64 Wine could use"
else
    echo "this machine runs no 32-bit x86 code: a 32-bit program that only exits gives \"$process_cause\"," \
        "and a 64-bit program switching to the 32-bit code segment (as a WoW64 Wine does) is $segment_cause"
fi
exit 3
