# The cases of `make faults`, each recording one result line per try (see
# fault-run.sh). Sourced by scripts/faults.sh after fault-run.sh.

sync_args() { echo --synchroniser --depuis "$start_date"; }
roll_args() { echo --exporter-roles "$rolls"; }
# The statement log of what a run sends to the portal.
export_log() { [ "$1" = sync ] && echo export-paiement || echo export-role; }

# The first line of what the program wrote on standard error, cut for the table.
first_error() { head -c 2000 "$1/stderr" | head -n1 | cut -c1-100; }

# The run must have failed with its message on standard error.
check_failed_with_message() { # folder
    if [ "$status" -eq 0 ]; then
        lost "failure reported as success (exit 0)"
    elif [ "$status" -gt 128 ]; then
        lost "program died (exit $status)"
    elif ! grep -q '^quilvanor: ' "$1/stderr"; then
        lost "no error message (exit $status)"
    fi
}

# After a run that must have changed nothing: the local base and the settings file as before.
check_nothing_changed() {
    [ "$(local_payments "$try/korva8.db")" = "$before_payments" ] || lost "local payments changed"
    cmp -s "$template_settings" "$program_dir/quilvanor.ini" || lost "settings file changed"
}

# A whole run without a fault, the reference for the kills: its duration and
# the state it leaves. Sets <kind>_ms, <kind>_payments, <kind>_portal and
# writes settings-after-<kind>.ini.
reference_run() { # kind (sync, roll)
    local kind=$1 log
    new_try "reference-$kind"
    start_standin_portal "$try/journal" || exit 1
    # shellcheck disable=SC2046
    run_program "$try/run" $("${kind}_args")
    stop_portal
    if [ "$status" -ne 0 ]; then
        echo "faults: the whole $kind run failed (exit $status): $(first_error "$try/run")" >&2
        exit 1
    fi
    log=$(export_log "$kind")
    check_log_covers "$try/journal" "$try/run" "$log"
    figures="$elapsed_ms ms"
    record_try "whole $([ "$kind" = sync ] && echo synchronisation || echo "roll export") (reference)"
    printf -v "${kind}_ms" %d "$elapsed_ms"
    printf -v "${kind}_payments" %s "$(local_payments "$try/korva8.db")"
    printf -v "${kind}_portal" %s "$(portal_state "$try/portal.db")"
    printf -v "${kind}_requests" %d "$(requests_to "$try/journal" export)"
    cp "$program_dir/quilvanor.ini" "$work/settings-after-$kind.ini"
}

requests_to() { python3 "$lib/fault-checks.py" count "$1" "$2"; }

# Where a kill landed, from what the portal received (a whole run sends
# <kind>_requests export requests).
kill_moment() { # kind
    local sent whole
    sent=$(requests_to "$try/journal" export)
    whole=${1}_requests
    whole=${!whole}
    if [ "$sent" -eq 0 ]; then
        [ "$(requests_to "$try/journal" importPaiement)" -gt 0 ] && echo "killed in the import" || echo "killed before any request"
    elif [ "$sent" -lt "$whole" ]; then
        echo "killed amid the export requests"
    else
        echo "killed after the last request"
    fi
}

# N runs killed at random moments, SIGKILL and SIGTERM in turn, each checked
# then run again.
kill_case() { # kind (sync, roll)
    local kind=$1 i signal duration delay log name reference_payments reference_portal
    duration=${kind}_ms
    duration=${!duration}
    reference_payments=${kind}_payments
    reference_payments=${!reference_payments}
    reference_portal=${kind}_portal
    reference_portal=${!reference_portal}
    log=$(export_log "$kind")
    name=$([ "$kind" = sync ] && echo "killed synchronisation" || echo "killed roll export")
    for i in $(seq "$runs"); do
        new_try "kill-$kind-$i"
        signal=$([ $((i % 2)) -eq 1 ] && echo KILL || echo TERM)
        # Anywhere from the start to the end of a whole run.
        delay=$(((RANDOM * 32768 + RANDOM) % duration))
        start_standin_portal "$try/journal" || exit 1
        # shellcheck disable=SC2046
        run_and_kill "$try/run" "$signal" "$delay" $("${kind}_args")
        stop_portal

        check_local_base "$try/korva8.db" "$before_payments" "$reference_payments"
        check_settings "$program_dir/quilvanor.ini" "$settings_date"
        check_log_covers "$try/journal" "$try/run" "$log"
        check_portal_rows "$try/portal.db" "$try/run" "$kind"
        [ "$kind" = sync ] && check_report_covers "$try/journal" "$try/run"
        figures=$(kill_moment "$kind")

        start_standin_portal "$try/journal-rerun" || exit 1
        # shellcheck disable=SC2046
        run_program "$try/rerun" $("${kind}_args")
        stop_portal
        [ "$status" -eq 0 ] || lost "re-run failed (exit $status: $(first_error "$try/rerun"))"
        [ "$(local_payments "$try/korva8.db")" = "$reference_payments" ] || lost "re-run: local payments differ from a whole run's"
        [ "$(portal_state "$try/portal.db")" = "$reference_portal" ] || lost "re-run: portal differs from a whole run's"
        cmp -s "$program_dir/quilvanor.ini" "$work/settings-after-$kind.ini" || lost "re-run: settings file differs from a whole run's"
        check_log_covers "$try/journal-rerun" "$try/rerun" "$log"
        [ ${#notes[@]} -eq 0 ] && ! $keep && rm -rf "$try"
        record_try "$name (SIGKILL, SIGTERM)"
    done
}

# A tmpfs of its own. Sets mount_point.
mount_tmpfs() { # name, size
    mount_point="$work/$1.mnt"
    mkdir -p "$mount_point"
    mount -t tmpfs -o "size=$2" tmpfs "$mount_point" || return 1
    mounted+=("$mount_point")
}

# Fills the tmpfs but for ROOM bytes.
fill_tmpfs() { # room
    dd if=/dev/zero of="$mount_point/filler" bs=4096 2>/dev/null
    if [ "$1" -gt 0 ]; then truncate -s "-$1" "$mount_point/filler"; fi
}

release_tmpfs() {
    umount "$mount_point" && rmdir "$mount_point"
}

# The settings file beside the program on a full file system: the old file
# stays, and the run ends with the "cannot write" error.
case_full_disk_settings() {
    local name="full disk: settings file (sync)" size leftovers
    [ "$(id -u)" -eq 0 ] || { record_skip "$name" "needs root to mount a tmpfs"; return; }
    size=$(($(stat -c %s "$build/quilvanor") + 1024 * 1024))
    mount_tmpfs settings "$size" || { record_skip "$name" "mount -t tmpfs failed"; return; }
    new_try full-disk-settings "$mount_point/bin"
    fill_tmpfs 0
    start_standin_portal "$try/journal" || exit 1
    # shellcheck disable=SC2046
    run_program "$try/run" $(sync_args)
    stop_portal
    check_failed_with_message "$try/run"
    grep -q "Impossible d'écrire dans" "$try/run/stderr" || [ "$status" -eq 0 ] || lost "not the cannot-write error: $(first_error "$try/run")"
    cmp -s "$template_settings" "$program_dir/quilvanor.ini" \
        || lost "settings file not kept ($(stat -c %s "$program_dir/quilvanor.ini" 2>/dev/null || echo 0) bytes left)"
    leftovers=$(find "$program_dir" -mindepth 1 -not -name quilvanor -not -name quilvanor.ini -printf '%f ')
    [ -z "$leftovers" ] || lost "left in the program's folder: $leftovers"
    check_local_base "$try/korva8.db" "$before_payments" "$sync_payments"
    check_log_covers "$try/journal" "$try/run" export-paiement
    record_try "$name"
    release_tmpfs
}

# The working folder (statement logs, report) on a full file system, with
# some room left or none: the run fails with its message, nothing is sent
# that its log does not hold, nothing half-written.
case_full_disk_logs() { # kind, rooms...
    local kind=$1 room name log
    shift
    name="full disk: statement logs$([ "$kind" = sync ] && echo ", report (sync)" || echo " (roll export)")"
    [ "$(id -u)" -eq 0 ] || { record_skip "$name" "needs root to mount a tmpfs"; return; }
    log=$(export_log "$kind")
    for room in "$@"; do
        new_try "full-disk-$kind-$room"
        mount_tmpfs "logs-$kind-$room" 4m || { record_skip "$name" "mount -t tmpfs failed"; return; }
        fill_tmpfs "$room"
        start_standin_portal "$try/journal" || exit 1
        # shellcheck disable=SC2046
        output_dir="$try/run" run_program "$mount_point" $("${kind}_args")
        stop_portal
        check_failed_with_message "$try/run"
        if grep -q $'\r' "$try/run/stdout"; then lost "stray CR on standard output"; fi
        check_local_base "$try/korva8.db" "$before_payments" "$sync_payments"
        check_settings "$program_dir/quilvanor.ini" "$settings_date"
        check_log_covers "$try/journal" "$mount_point" "$log"
        [ "$kind" = sync ] && check_report_covers "$try/journal" "$mount_point"
        figures="room $room bytes: $(first_error "$try/run")"
        record_try "$name"
        release_tmpfs
    done
}

# Standard output closed after the first line: the run goes on to its end.
case_closed_output() { # kind
    local kind=$1 name log reference_portal
    name="closed standard output (| head -1, $kind)"
    log=$(export_log "$kind")
    reference_portal=${kind}_portal
    new_try "closed-output-$kind"
    start_standin_portal "$try/journal" || exit 1
    # shellcheck disable=SC2046
    (cd "$try/run" && env "${program_vars[@]}" timeout -s KILL 300 "$program_dir/quilvanor" $("${kind}_args") \
        2>"$try/run/stderr" | head -n1 >/dev/null; echo "${PIPESTATUS[0]}" >"$try/status")
    status=$(cat "$try/status")
    stop_portal
    [ "$status" -eq 0 ] || lost "run ended (exit $status$([ "$status" -eq 141 ] && echo ": SIGPIPE"))"
    [ "$(portal_state "$try/portal.db")" = "${!reference_portal}" ] || lost "portal short of a whole run's"
    if [ "$kind" = sync ]; then
        [ "$(local_payments "$try/korva8.db")" = "$sync_payments" ] || lost "payments not imported"
        LC_ALL=C grep -qas "paiements mis .* jour dans le portail famille" "$try"/run/cantine-synchronisation-*.txt \
            || lost "report cut"
    fi
    check_log_covers "$try/journal" "$try/run" "$log"
    record_try "$name"
}

# A portal that sends one byte a second, with the whole-reply bound cut to
# a few seconds: the run fails on the bound with error 10060, nothing changed.
case_dripping_portal() { # kind
    local kind=$1 name log bound_ms=3000
    name="dripping portal, bound ${bound_ms} ms ($kind)"
    log=$(export_log "$kind")
    new_try "drip-$kind"
    program_vars+=("QUILVANOR_TEST_REPLY_BOUND_MS=$bound_ms")
    start_scripted_portal "$try/journal" drip --every 1 || exit 1
    # shellcheck disable=SC2046
    run_bound=30 run_program "$try/run" $("${kind}_args")
    stop_portal
    if [ "$status" -eq 137 ]; then
        lost "no bound on the reply: still reading after 30 s"
    else
        check_failed_with_message "$try/run"
        grep -q 10060 "$try/run/stderr" || lost "not error 10060: $(first_error "$try/run")"
        [ "$elapsed_ms" -le $((bound_ms + 5000)) ] || lost "ended after $elapsed_ms ms"
    fi
    check_nothing_changed
    check_log_covers "$try/journal" "$try/run" "$log"
    figures="ended after $elapsed_ms ms, exit $status"
    record_try "$name"
}

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

# The data source names a base that is not there: an error, and no empty
# base left in its place.
case_missing_base() { # kind
    local kind=$1 name="missing database file"
    new_try "missing-base-$kind"
    rm -f "$try/korva8.db"
    start_scripted_portal "$try/journal" record || exit 1
    # shellcheck disable=SC2046
    run_program "$try/run" $("${kind}_args")
    stop_portal
    check_failed_with_message "$try/run"
    [ ! -e "$try/korva8.db" ] || lost "$(stat -c %s "$try/korva8.db")-byte korva8.db created"
    [ ! -s "$try/journal" ] || lost "request sent to the portal"
    cmp -s "$template_settings" "$program_dir/quilvanor.ini" || lost "settings file changed"
    record_try "$name ($kind)"
}

# A stored last-run date of 31-12-99 is read as 1999, not 2099.
case_stored_century() {
    local name="stored LastDateImport=31-12-99" asked
    new_try stored-century
    sed -i 's/^LastDateImport=.*/LastDateImport=31-12-99\r/' "$program_dir/quilvanor.ini"
    start_scripted_portal "$try/journal" record || exit 1
    run_program "$try/run" --synchroniser
    stop_portal
    asked=$(python3 "$lib/fault-checks.py" queries "$try/journal" importPaiement | head -n1)
    [ "$asked" = 1999-12-31 ] || lost "portal asked for payments since '${asked:-nothing}'"
    record_try "$name"
}

# A payment amount of more digits than the program keeps exactly is refused.
case_long_amount() {
    local name="payment amount 99999999999999999999999"
    new_try long-amount
    printf '12;5;99999999999999999999999;15-03-2024;240017;1;4700017;1\n' >"$try/reply"
    start_scripted_portal "$try/journal" answer --on importPaiement --body "$try/reply" || exit 1
    # shellcheck disable=SC2046
    run_program "$try/run" $(sync_args)
    stop_portal
    check_failed_with_message "$try/run"
    check_nothing_changed
    record_try "$name"
}
