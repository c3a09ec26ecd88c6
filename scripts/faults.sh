#!/usr/bin/env bash
# make faults: the program, built for a portal on the loopback, run against the
# portal stand-in (behind a recording proxy) and a scripted portal, killed at
# random moments and put through the faults an operator's machine meets; after
# each, what a user would lose is checked. Prints one table: case, tries, held,
# what was lost; ends non-zero when a try did not hold.
#
#   scripts/faults.sh BUILD PORT    (BUILD built with -DPORTAL_BASE_URL=http://127.0.0.1:PORT)
#
# FAULT_RUNS (20): killed runs per kind; FAULT_SEED: the seed of the kill
# moments (printed; the same seed gives the same moments); FAULT_HUGE_MB (200):
# size of the huge replies; FAULT_CASES: only the cases named (see the list
# below); FAULT_KEEP=1 keeps every try's folder in BUILD/faults-work (those
# that did not hold are always kept). The full-disk cases mount tmpfs: root only.
set -uo pipefail
export LC_ALL=C.UTF-8
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$root/${1:-build-faults}" && pwd)
port=${2:-18418}
runs=${FAULT_RUNS:-20}
seed=${FAULT_SEED:-$(($(date +%s) % 32768))}
RANDOM=$seed
huge_mb=${FAULT_HUGE_MB:-200}
keep=$([ "${FAULT_KEEP:-0}" = 1 ] && echo true || echo false)
lib="$root/scripts/lib"
work="$build/faults-work"
results="$work/results.tsv"

# The sample: three rolls of 400 invoices (1200 invoices, 3600 invoice lines),
# 1000 children, 1500 clients, 3000 local payments; the portal holds 3000
# payments made by families since the start date.
rolls=1,2,3
start_date=01/01/2024
settings_date=01-01-24

# shellcheck source=lib/sample-source.sh
source "$lib/sample-source.sh"
# shellcheck source=lib/fault-run.sh
source "$lib/fault-run.sh"
# shellcheck source=lib/fault-kills.sh
source "$lib/fault-kills.sh"
# shellcheck source=lib/fault-cases.sh
source "$lib/fault-cases.sh"
# shellcheck source=lib/fault-memory.sh
source "$lib/fault-memory.sh"
# shellcheck source=lib/fault-inputs.sh
source "$lib/fault-inputs.sh"

mounted=()
cleanup() {
    stop_portal
    local point
    for point in "${mounted[@]}"; do
        mountpoint -q "$point" && umount "$point"
    done
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
    echo "faults: port $port is in use (the program is built to reach its portal there)" >&2
    exit 1
fi
for point in "$work"/*.mnt; do mountpoint -q "$point" && umount "$point"; done
rm -rf "$work"
mkdir -p "$work/template"
started=$(date +%s)

# The templates every try copies: the project's own data source file (made by
# the sample-source script, as `make demo` makes it) naming a larger sample,
# the portal seeded from it, and a settings file with lines of its own.
template="$work/template"
sample_source "$build" "$template"
template_odbc="$template/odbc.ini"
template_db="$template/korva8.db"
"$build/korva8-sample" "$template_db" --rolls 3 --invoices-per-roll 400 --lines-per-invoice 3 \
    --children 1000 --clients 1500 --payments 3000 >/dev/null
template_portal="$template/portal.db"
"$build/portal-standin" --port 0 --db "$template_portal" --seed-from "$template_db" >"$template/standin.port" \
    2>"$template/standin.log" &
standin_pid=$!
wait_for_file "$template/standin.port" "$standin_pid" || { echo "faults: the portal stand-in did not start" >&2; exit 1; }
stop_portal
sqlite3 "$template_portal" "
    WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000)
    INSERT INTO encaissement (numclient, moyenpaiement, datepaiement, montant, numfacture, numrole, etat, transactionid)
    SELECT 1 + i % 1500, 5, date('2024-02-01', '+' || (i % 300) || ' days'), 10 + (i % 50) * 1.25, 300000 + i,
           1 + i % 3, 1, 5000000 + i FROM n;"
template_settings="$template/quilvanor.ini"
printf '; Réglages de quilvanor\r\n[Import]\r\nLastDateImport=15-06-23\r\n\r\n[Export]\r\nLastDateExport=15-06-23\r\n\r\n[Autre]\r\nClé=valeur gardée\r\n' \
    | iconv -f UTF-8 -t WINDOWS-1252 >"$template_settings"
before_payments=$(local_payments "$template_db")

echo "faults: seed $seed (FAULT_SEED=$seed gives the same kill moments)"
echo "faults: whole runs, the reference for the kills and the memory figures"
reference_run sync
reference_run roll
measure_baseline

# The cases, in order; FAULT_CASES (words, e.g. "drip ceiling") runs only those
# whose line holds one of the words.
cases=(
    "kill_case sync"
    "kill_case roll"
    "case_full_disk_settings"
    "case_full_disk_logs sync 0 262144 1310720"
    "case_full_disk_logs roll 0 65536 1048576"
    "case_closed_output sync"
    "case_closed_output roll"
    "case_dripping_portal sync"
    "case_dripping_portal roll"
    "case_huge_replies"
    "case_over_ceiling"
    "case_missing_base sync"
    "case_missing_base roll"
    "case_stored_century"
    "case_long_amount"
    "case_settings_encodings"
    "case_settings_not_a_file"
    "case_damaged_replies"
    "case_two_runs_at_once sync"
    "case_two_runs_at_once roll"
    "case_read_only_folder"
)
for line in "${cases[@]}"; do
    if [ -n "${FAULT_CASES:-}" ]; then
        wanted=false
        for word in $FAULT_CASES; do [[ $line == *"$word"* ]] && wanted=true; done
        $wanted || continue
    fi
    echo "faults: ${line#case_}"
    $line
done

echo
print_table
echo
echo "faults: $(($(date +%s) - started)) s; the tries' folders are in $work"
all_held
