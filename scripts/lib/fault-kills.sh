# The whole runs and the killed runs of `make faults` (see fault-run.sh).
# Sourced by scripts/faults.sh after fault-run.sh.

# Whole runs without a fault, the reference for the kills: three, each from
# the templates, which must leave the same state; the fastest one's duration
# is the span the kills fall in (a slow moment of the machine would put most
# of them after the end). Sets <kind>_ms, <kind>_payments, <kind>_portal,
# <kind>_requests and writes settings-after-<kind>.ini.
reference_run() { # kind (sync, roll)
    local kind=$1 n payments portal fastest=
    for n in 1 2 3; do
        new_try "reference-$kind-$n"
        start_standin_portal "$try/journal" || exit 1
        # shellcheck disable=SC2046
        run_program "$try/run" $("${kind}_args")
        stop_portal
        if [ "$status" -ne 0 ]; then
            echo "faults: the whole $kind run failed (exit $status): $(first_error "$try/run")" >&2
            exit 1
        fi
        check_log_covers "$try/journal" "$try/run" "$(export_log "$kind")"
        payments=$(local_payments "$try/korva8.db")
        portal=$(portal_state "$try/portal.db")
        if [ "$n" -eq 1 ]; then
            printf -v "${kind}_payments" %s "$payments"
            printf -v "${kind}_portal" %s "$portal"
            printf -v "${kind}_requests" %d "$(requests_to "$try/journal" export)"
            cp "$program_dir/quilvanor.ini" "$work/settings-after-$kind.ini"
        else
            local first_payments=${kind}_payments first_portal=${kind}_portal
            [ "$payments" = "${!first_payments}" ] || lost "local payments differ from the first whole run's"
            [ "$portal" = "${!first_portal}" ] || lost "portal differs from the first whole run's"
        fi
        [ -z "$fastest" ] || [ "$elapsed_ms" -lt "$fastest" ] && fastest=$elapsed_ms
        [ "$n" -eq 3 ] && figures="fastest of 3: $fastest ms"
        record_try "whole $([ "$kind" = sync ] && echo synchronisation || echo "roll export") (reference)"
    done
    printf -v "${kind}_ms" %d "$fastest"
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
        # Anywhere in a whole run's span, or, for every other pair of tries (both
        # signals), in its second half, where the export requests and the
        # settings file's writes are: the start-up and the import fill the first.
        if [ $(((i + 1) / 2 % 2)) -eq 1 ]; then
            delay=$(((RANDOM * 32768 + RANDOM) % duration))
        else
            delay=$((duration / 2 + (RANDOM * 32768 + RANDOM) % (duration - duration / 2)))
        fi
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
