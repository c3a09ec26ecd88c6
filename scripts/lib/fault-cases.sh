# The faults of an operator's machine and of a misbehaving portal in `make
# faults`: full disks, a closed output, a dripping portal, a missing base, old
# dates, long amounts; each records one result line per try (see
# fault-run.sh). Sourced by scripts/faults.sh after fault-run.sh.

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
    leftovers=$(find "$program_dir" -mindepth 1 -not -name quilvanor -not -name quilvanor.ini -not -name quilvanor.verrou -printf '%f ')
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
