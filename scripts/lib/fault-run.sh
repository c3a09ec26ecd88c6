# What every case of `make faults` shares: a try's folder, the portal it talks
# to, the program's runs, the checks made after a fault and the results table.
# Sourced by scripts/faults.sh, which sets build, work, lib, port, results and
# the templates (template_db, template_odbc, template_portal, template_settings).

# The program's statement logs of one kind in a folder.
logs_of() { # folder kind
    compgen -G "$1/cantine-$2-*.csv" || true
}

# A try's folder: the program beside its own settings file (the settings file
# lives beside the executable), a copy of the sample base behind a data
# source made by the project's own sample-source script, and the portal's
# database. Sets try.
new_try() { # name [program folder]
    try="$work/$1"
    try_started=$(date +%s%N)
    rm -rf "$try"
    mkdir -p "$try/run" "$try/rerun"
    program_dir=${2:-$try/bin}
    mkdir -p "$program_dir"
    cp "$build/quilvanor" "$program_dir/quilvanor"
    cp "$template_settings" "$program_dir/quilvanor.ini"
    cp "$template_db" "$try/korva8.db"
    cp "$template_portal" "$try/portal.db"
    sed "s|^Database=.*|Database=$try/korva8.db|" "$template_odbc" >"$try/odbc.ini"
    # The program's environment: the try's data source, French, no display.
    program_vars=(ODBCINI="$try/odbc.ini" LANG=fr_FR.UTF-8 LC_ALL=fr_FR.UTF-8 QT_QPA_PLATFORM=offscreen)
}

wait_for_file() { # file, pid that must stay alive
    for _ in $(seq 200); do
        [ -s "$1" ] && return 0
        kill -0 "$2" 2>/dev/null || return 1
        sleep 0.05
    done
    return 1
}

# The portal stand-in on its own port behind the scripted portal in proxy
# mode, which keeps each batch it received in JOURNAL. Sets standin_pid, portal_pid.
start_standin_portal() { # journal
    rm -f "$try/standin.port"
    "$build/portal-standin" --port 0 --db "$try/portal.db" >"$try/standin.port" 2>>"$try/standin.log" &
    standin_pid=$!
    wait_for_file "$try/standin.port" "$standin_pid" || { echo "portal stand-in did not start" >&2; return 1; }
    start_scripted_portal "$1" proxy --to "$(head -n1 "$try/standin.port")"
}

# The scripted portal alone on the program's port. Sets portal_pid.
start_scripted_portal() { # journal mode [options...]
    local journal=$1
    shift
    rm -f "$try/portal.ready" "$journal"
    python3 "$lib/fault-portal.py" "$@" --port "$port" --journal "$journal" --ready "$try/portal.ready" \
        2>>"$try/portal.log" &
    portal_pid=$!
    wait_for_file "$try/portal.ready" "$portal_pid" || { echo "scripted portal did not start on port $port" >&2; return 1; }
}

stop_portal() {
    local pid
    for pid in ${portal_pid:-} ${standin_pid:-}; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    portal_pid=
    standin_pid=
    return 0
}

# Runs the program in a folder to its end, bounded by run_bound seconds, its
# standard output and error in output_dir (the folder by default), behind
# program_prefix if set. Sets status (137: stopped at the bound) and elapsed_ms.
program_prefix=()
run_program() { # folder, arguments...
    local folder=$1 out=${output_dir:-$1} start
    shift
    start=$(date +%s%N)
    # (The shell's own word on a program killed goes nowhere: the checks say what it means.)
    { (cd "$folder" && exec env "${program_vars[@]}" timeout -s KILL "${run_bound:-300}" "${program_prefix[@]}" \
        "$program_dir/quilvanor" "$@" >"$out/stdout" 2>"$out/stderr"); } 2>/dev/null
    status=$?
    elapsed_ms=$((($(date +%s%N) - start) / 1000000))
}

# Runs the program and sends it a signal after delay_ms. Sets status.
run_and_kill() { # folder, signal, delay_ms, arguments...
    local folder=$1 signal=$2 delay_ms=$3 pid
    shift 3
    (cd "$folder" && exec env "${program_vars[@]}" "$program_dir/quilvanor" "$@" >"$folder/stdout" 2>"$folder/stderr") &
    pid=$!
    sleep "$(printf '%d.%03d' $((delay_ms / 1000)) $((delay_ms % 1000)))"
    kill "-$signal" "$pid" 2>/dev/null
    # A program that would not end on SIGTERM is stopped after 30 s, and said so.
    for _ in $(seq 300); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        lost "still running 30 s after SIG$signal"
        kill -KILL "$pid" 2>/dev/null
    fi
    wait "$pid" 2>/dev/null
    status=$?
}

# The two kinds of run: the command line of each.
sync_args() { echo --synchroniser --depuis "$start_date"; }
roll_args() { echo --exporter-roles "$rolls"; }
# The statement log of what a run sends to the portal.
export_log() { [ "$1" = sync ] && echo export-paiement || echo export-role; }

# The local payments as a sorted text, without their numbers (a re-run may
# number them anew), and the portal's tables the same way.
local_payments() { # database
    sqlite3 -batch "$1" "SELECT NumClient, MoyenPaiement, NumRole2, DatePaiement, NoPièce, NumE, MontantPayé,
        BanquePièce FROM Encaissement ORDER BY 1, 2, 3, 4, 5, 6, 7, 8" | md5sum | cut -c1-32
}

portal_tables() { # database
    local table
    for table in role facture itemfacture enfant client clientgroupe facturenumerique; do
        echo "== $table"
        sqlite3 -batch "$1" "SELECT * FROM $table ORDER BY 1, 2"
    done
    echo "== encaissement"
    sqlite3 -batch "$1" "SELECT numclient, moyenpaiement, datepaiement, montant, numfacture, numrole, etat,
        transactionid FROM encaissement ORDER BY 1, 2, 3, 4, 5, 6, 7, 8"
}

portal_state() { portal_tables "$1" | md5sum | cut -c1-32; }

# One try's findings: each check that did not hold adds a note.
notes=()
lost() { notes+=("$1"); }

# The local base after a fault: sound, and its payments either untouched or
# wholly imported.
check_local_base() { # database, payments before, payments after a whole run
    local integrity payments
    integrity=$(sqlite3 -batch "$1" "PRAGMA integrity_check" 2>&1 | head -n1)
    [ "$integrity" = ok ] || { lost "local base damaged ($integrity)"; return; }
    payments=$(local_payments "$1")
    [ "$payments" = "$2" ] || [ "$payments" = "$3" ] || lost "Encaissement half-imported"
}

check_settings() { # file, date the run records
    local why
    why=$(python3 "$lib/fault-checks.py" settings "$template_settings" "$1" "$2") || lost "$why"
}

check_log_covers() { # journal, folder, kind of log
    local why logs
    mapfile -t logs < <(logs_of "$2" "$3")
    why=$(python3 "$lib/fault-checks.py" log-covers "$1" "${logs[@]}") || lost "$why"
}

# The same from the portal's side, as an operator would count: the rows the
# portal's tables hold against the inserts the log lists. The tables start
# empty of what the run sends (the seed fills only clients, rolls and the
# families' own payments).
check_portal_rows() { # portal database, folder, kind (sync, roll)
    local table held listed
    local -a logs
    if [ "$3" = sync ]; then
        mapfile -t logs < <(logs_of "$2" export-paiement)
        held=$(sqlite3 -batch "$1" "SELECT count(*) FROM encaissement WHERE etat = 2")
        listed=$(cat "${logs[@]}" /dev/null | LC_ALL=C grep -ac "INSERT into  encaissement ")
        [ "$held" -le "$listed" ] || lost "portal holds $held exported payments, the log lists $listed"
        return
    fi
    mapfile -t logs < <(logs_of "$2" export-role)
    for table in facture itemfacture enfant clientgroupe; do
        held=$(sqlite3 -batch "$1" "SELECT count(*) FROM $table")
        listed=$(cat "${logs[@]}" /dev/null | LC_ALL=C grep -ac "INSERT into $table ")
        [ "$held" -le "$listed" ] || lost "portal holds $held $table rows, the log lists $listed"
    done
}

# Before the export request leaves, the report holds the lines written before it.
check_report_covers() { # journal, folder
    [ -n "$(python3 "$lib/fault-checks.py" queries "$1" export 2>/dev/null | head -c1)" ] || return 0
    LC_ALL=C grep -qas "paiements mis .* jour dans le portail famille" "$2"/cantine-synchronisation-*.txt \
        || lost "report behind portal (no count line while the portal had the export)"
}

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

# One line of results per try: case, held or lost, the notes; and a line of
# progress for whoever watches.
record_try() { # case
    local outcome=held text=${figures:-}
    if [ ${#notes[@]} -gt 0 ]; then
        outcome=lost
        [ -n "${figures:-}" ] && notes+=("${figures//;/,}")
        text=$(IFS=';'; echo "${notes[*]}")
    fi
    printf '%s\t%s\t%s\n' "$1" "$outcome" "$text" >>"$results"
    printf '  %-46s %-4s %6d ms  %s\n' "$1" "$outcome" $((($(date +%s%N) - try_started) / 1000000)) "${text:0:110}"
    notes=()
    figures=
}

record_skip() { # case, reason
    printf '%s\tskipped\t%s\n' "$1" "$2" >>"$results"
}

# The table: per case the tries, how many held, and each kind of loss with
# how many tries it struck (the first try's words).
print_table() {
    python3 - "$results" <<'PY'
import re
import sys
cases = {}
for line in open(sys.argv[1], encoding="utf-8"):
    name, outcome, notes = (line.rstrip("\n").split("\t") + [""])[:3]
    case = cases.setdefault(name, {"tries": 0, "held": 0, "skipped": None, "lost": {}, "figures": []})
    if outcome == "skipped":
        case["skipped"] = notes
        continue
    case["tries"] += 1
    if outcome == "held":
        case["held"] += 1
        if notes:
            case["figures"].append(notes)
        continue
    for note in filter(None, notes.split(";")):
        kind = re.sub(r"\d+", "N", note.split(":")[0].split("(")[0].strip())
        first, count = case["lost"].get(kind, (note, 0))
        case["lost"][kind] = (first, count + 1)
rows = [("case", "tries", "held", "what was lost")]
for name, case in cases.items():
    if case["skipped"] is not None and case["tries"] == 0:
        rows.append((name, "0", "-", "skipped: " + case["skipped"]))
        continue
    lost = "; ".join(first if count == 1 else "%s [%d tries]" % (first, count)
                     for first, count in case["lost"].values())
    if not lost:
        counts = {figure: case["figures"].count(figure) for figure in case["figures"]}
        lost = "nothing" + (" (" + "; ".join(figure if count == 1 else "%s: %d" % (figure, count)
                                             for figure, count in counts.items()) + ")" if counts else "")
    rows.append((name, str(case["tries"]), str(case["held"]), lost))
widths = [max(len(row[i]) for row in rows) for i in range(3)]
for row in rows:
    print("%-*s  %*s  %*s  %s" % (widths[0], row[0], widths[1], row[1], widths[2], row[2], row[3]))
PY
}

# Non-zero when a try did not hold.
all_held() { ! cut -f2 "$results" | grep -qx lost; }
