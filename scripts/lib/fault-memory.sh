# The huge replies of `make faults`: the program's peak memory against the
# reply's size, the ceiling (see fault-run.sh). Sourced by scripts/faults.sh.

# Peak memory of a run (kB, from GNU time's maximum resident set size).
peak_kb() { awk -F': ' '/Maximum resident set size/ { print $2 }' "$1"; }

# A run against the scripted portal answering one request, its peak memory measured.
answered_run() { # try name, run arguments, portal options...
    local args=$2
    new_try "$1"
    shift 2
    start_scripted_portal "$try/journal" "$@" || exit 1
    program_prefix=(/usr/bin/time -v -o "$try/time")
    # shellcheck disable=SC2086
    run_program "$try/run" $args
    program_prefix=()
    stop_portal
    # GNU time gives the program's own status, or 128 + its signal.
    peak=$(($(peak_kb "$try/time" 2>/dev/null || echo 0) / 1024))
}

# The program's peak memory on a run that reads only small replies.
measure_baseline() {
    answered_run baseline "$(sync_args)" record
    baseline_mb=$peak
    [ "$status" -eq 0 ] || lost "run failed (exit $status): $(first_error "$try/run")"
    figures="peak ${peak} MB"
    record_try "memory baseline (synchronisation, small replies)"
}

check_peak() { # reply bytes
    local allowed=$((baseline_mb + 3 * $1 / 1048576))
    [ "$peak" -le "$allowed" ] || lost "peak memory ${peak} MB (over ${allowed} MB: baseline ${baseline_mb} + 3 x reply)"
}

# Huge replies under the ceiling: memory linear in the reply, a refusal that
# quotes its value cut short, nothing changed.
case_huge_replies() {
    local bytes=$((huge_mb * 1000 * 1000)) mb=$huge_mb name length
    name="${mb} MB payment reply, last record cut"
    answered_run huge-payments "$(sync_args)" answer --on importPaiement --kind payments --bytes "$bytes"
    check_failed_with_message "$try/run"
    check_peak "$bytes"
    check_nothing_changed
    figures="peak ${peak} MB, ${elapsed_ms} ms, exit $status: $(first_error "$try/run" | cut -c1-70)"
    record_try "$name"

    name="${mb} MB payment reply of one field"
    answered_run huge-field "$(sync_args)" answer --on importPaiement --kind one-field --bytes "$bytes"
    check_failed_with_message "$try/run"
    check_peak "$bytes"
    check_nothing_changed
    length=$(head -n1 "$try/run/stderr" | wc -c)
    [ "$length" -le 1000 ] || lost "error line of $length bytes"
    grep -q '…' "$try/run/stderr" || lost "quoted value not cut with …"
    length=$(cat "$try"/run/cantine-synchronisation-*.txt 2>/dev/null | wc -c)
    [ "$length" -le 100000 ] || lost "report of $length bytes"
    figures="peak ${peak} MB, exit $status, error line $(head -n1 "$try/run/stderr" | wc -c) bytes"
    record_try "$name"

    name="${mb} MB reply to a roll export"
    answered_run huge-export "$(roll_args)" answer --on export --kind lines --bytes "$bytes"
    [ "$status" -le 128 ] || lost "program died (exit $status)"
    check_peak "$bytes"
    check_log_covers "$try/journal" "$try/run" export-role
    figures="peak ${peak} MB, exit $status, standard output $(wc -c <"$try/run/stdout") bytes"
    record_try "$name"

    name="${mb} MB reply to the payment export"
    answered_run huge-export-payments "$(sync_args)" answer --on export --kind lines --bytes "$bytes"
    [ "$status" -le 128 ] || lost "program died (exit $status)"
    check_peak "$bytes"
    check_log_covers "$try/journal" "$try/run" export-paiement
    figures="peak ${peak} MB, exit $status, report $(cat "$try"/run/cantine-synchronisation-*.txt 2>/dev/null | wc -c) bytes"
    record_try "$name"
}

# A reply over the 256 MiB ceiling, announced or not: refused with its own
# message before anything changes, memory bounded by the ceiling.
case_over_ceiling() {
    local bytes=$((300 * 1024 * 1024)) ceiling=$((256 * 1024 * 1024)) with name
    for with in length no-length; do
        name="300 MiB payment reply (over the ceiling)"
        answered_run "over-ceiling-$with" "$(sync_args)" answer --on importPaiement --kind payments \
            --bytes "$bytes" "--$with"
        check_failed_with_message "$try/run"
        if grep -Eq 'Paiement [0-9]+, champ' "$try/run/stderr"; then lost "read whole, not refused for its size"; fi
        check_peak "$ceiling"
        check_nothing_changed
        figures="peak ${peak} MB, ${elapsed_ms} ms, exit $status: $(first_error "$try/run" | cut -c1-70)"
        record_try "$name"
    done

    name="300 MiB reply to a roll export (over the ceiling)"
    answered_run over-ceiling-export "$(roll_args)" answer --on export --kind lines --bytes "$bytes" --no-length
    check_failed_with_message "$try/run"
    check_peak "$ceiling"
    check_log_covers "$try/journal" "$try/run" export-role
    figures="peak ${peak} MB, ${elapsed_ms} ms, exit $status: $(first_error "$try/run" | cut -c1-70)"
    record_try "$name"
}
