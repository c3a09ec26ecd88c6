#!/usr/bin/env bash
# Pictures of the program's windows for the operator's guide, written into
# docs/: the real program, built in BUILD, driven by clicks under Xvfb on the
# sample database and the portal stand-in, wired as `make demo` wires them.
#
#   scripts/screenshots.sh [BUILD] [OUT]
#
# Every run draws the same pictures: the same sample data, a clock that starts
# at a fixed date and time (libfaketime) for the program and the stand-in, whose
# portal payments are dated from "today", a settings file that starts absent,
# and a screen of fixed size without a window manager.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$root" && cd "$build" && pwd)
out=$(mkdir -p "${2:-$root/docs}" && cd "${2:-$root/docs}" && pwd)
source "$root/scripts/lib/drive-program.sh"
source "$root/scripts/lib/sample-source.sh"

fixed_clock="2024-03-08 14:05:00"
faketime_lib=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
for tool in Xvfb xdotool import; do
    command -v "$tool" >/dev/null || { echo "screenshots: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done
[ -e "$faketime_lib" ] || { echo "screenshots: libfaketime is missing (scripts/install-deps.sh --screenshots)" >&2; exit 1; }
for program in quilvanor korva8-sample portal-standin; do
    [ -x "$build/$program" ] || { echo "screenshots: $build/$program is not built" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/quilvanor-screenshots.XXXXXX")
xvfb_pid= standin_pid= program_pid=
stop_all() {
    for pid in $program_pid $standin_pid $xvfb_pid; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap stop_all EXIT
start_screen

# The sample database behind the data source DB_KORVA8.
sample_source "$build" "$work"
export LANG=fr_FR.UTF-8 TZ=UTC QT_QPA_PLATFORM=xcb
unset LC_ALL QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR QT_ENABLE_HIGHDPI_SCALING

# The program and the stand-in see the fixed clock; Qt's timers keep the real one.
# (exec: a job started with it is the program itself, which the end stops).
with_fixed_clock() {
    LD_PRELOAD="$faketime_lib" FAKETIME="@$fixed_clock" DONT_FAKE_MONOTONIC=1 exec "$@"
}

port=$(portal_port "$build/CMakeCache.txt")
port_free "$port"
with_fixed_clock "$build/portal-standin" --port "$port" --db "$work/portal.db" --seed-from "$work/korva8.db" \
    >"$work/standin.log" 2>&1 &
standin_pid=$!
wait_for_port "$port" "$standin_pid"

# A copy of the program in the scratch folder: its settings file, beside it,
# starts absent on every run, and its statement logs go to the same folder.
cp "$build/quilvanor" "$work/quilvanor"
cd "$work"
with_fixed_clock ./quilvanor >"$work/program.log" 2>&1 &
program_pid=$!

main=$(window '^Interface KORVA 8 -Portail Famille$')
shoot "$main" "$out/main-window.png"

click "$main" "${main_rolls_button[@]}"
rolls=$(window '^Selectionner les r')
sleep 0.5
click "$rolls" 300 26          # the first roll (highest number)
click "$rolls" 300 44 ctrl     # with Ctrl held: the second one as well
shoot "$rolls" "$out/roll-window-selected.png"
click "$rolls" 304 280         # "Envoyer vers le portail famille" (232, 264; 145 x 33)
run_ended export-role "$work"
shoot "$rolls" "$out/roll-window-after-run.png"
close_window "$rolls" '^Selectionner les r'

click "$main" "${main_synchronise_button[@]}"
sync=$(window '^Synchronisation des paiements')
sleep 0.5
# Start date one month back (the month of the date picker, at 264, 4 in the
# panel): the stand-in's payments of the last twenty days are imported.
click "$sync" 315 22
xdotool key --window "$sync" Down
click "$sync" "${sync_button[@]}"
run_ended export-paiement "$work"
shoot "$sync" "$out/synchronisation-window.png"
# A scheduled synchronisation that failed the night before: the main window
# reads the record again when the synchronisation window closes.
printf '\xef\xbb\xbf[Synchronisation]\r\nDebut=2024-03-07T22:00:00\r\nFin=2024-03-07T22:00:31\r\nResultat=echec\r\nOrigine=sans fenetre\r\nMessage=Erreur de socket # 10060 D\xc3\xa9lai de connexion d\xc3\xa9pass\xc3\xa9.\r\nDossier=C:\\quilvanor\r\nDerniereReussite=2024-03-06T22:00:04\r\nDernierePlanifiee=2024-03-07T22:00:31\r\n' \
    >"$work/quilvanor.etat"
close_window "$sync" '^Synchronisation des paiements'
sleep 0.5
shoot "$main" "$out/main-window-failed-run.png"

click "$main" "${main_clients_button[@]}"
clients=$(window '^Client ayant opt')
shoot "$clients" "$out/client-list-window.png"
click "$clients" 458 28        # "Imprimer" (421, 16): the report's preview
preview=$(window 'Aper|Preview')
shoot "$preview" "$out/report-preview.png"
