#!/usr/bin/env bash
# Installs the Debian packages of dist/ as an operator's machine would, runs
# the installed program as a new user on the sample database under Xvfb (a
# synchronisation, so that the settings file and the statement logs are
# written where an installed program keeps them), then removes the packages.
#
#   scripts/package-check.sh [BUILD] [PICTURE]
#
# BUILD gives the version and the portal address the packages were built
# with; PICTURE (default dist/package-check.png) receives the main window of
# the installed program. Needs root (apt-get, a temporary user).
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$root" && cd "$build" && pwd)
picture=${2:-$root/dist/package-check.png}
source "$root/scripts/lib/drive-program.sh"
[ "$(id -u)" -eq 0 ] || { echo "package-check: run as root (apt-get install, a temporary user)" >&2; exit 1; }

version=$(grep -E '^CMAKE_PROJECT_VERSION:' "$build/CMakeCache.txt" | cut -d= -f2-)
program_deb="$root/dist/quilvanor_${version}_amd64.deb"
tools_deb="$root/dist/quilvanor-outils_${version}_amd64.deb"
for deb in "$program_deb" "$tools_deb"; do
    [ -f "$deb" ] || { echo "package-check: $deb is missing (make package)" >&2; exit 1; }
done

user=quilvanor-essai
work=$(mktemp -d "${TMPDIR:-/tmp}/quilvanor-package-check.XXXXXX")
chmod 755 "$work"
xvfb_pid= standin_pid= program_pid= launcher_pid=
installed=false
finish() {
    for pid in $program_pid $launcher_pid $standin_pid $xvfb_pid; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    if $installed; then
        echo "== remove"
        apt-get remove -y -qq quilvanor quilvanor-outils >/dev/null
        for package in quilvanor quilvanor-outils; do
            dpkg -s "$package" >/dev/null 2>&1 && echo "package-check: $package is still installed" >&2
        done
        [ -e /usr/bin/quilvanor ] || [ -e /usr/lib/quilvanor ] || echo "  quilvanor and quilvanor-outils removed"
    fi
    id "$user" >/dev/null 2>&1 && userdel -r "$user" 2>/dev/null
    rm -rf "$work"
}
trap finish EXIT

echo "== install"
export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq "$program_deb" "$tools_deb" >/dev/null
installed=true
dpkg-query -W -f='${Package} ${Version}: Depends: ${Depends}\n' quilvanor quilvanor-outils
for file in /usr/bin/quilvanor /usr/lib/quilvanor/quilvanor /usr/share/applications/quilvanor.desktop \
            /usr/share/icons/hicolor/48x48/apps/quilvanor.png /usr/share/icons/hicolor/scalable/apps/quilvanor.svg \
            /usr/share/doc/quilvanor/guide-utilisateur.md /usr/bin/korva8-sample /usr/bin/portal-standin; do
    [ -e "$file" ] || fail "not installed: $file"
done
grep -qx 'Icon=quilvanor' /usr/share/applications/quilvanor.desktop || fail "the desktop entry names no icon"

echo "== run as the new user $user"
useradd --create-home "$user"
home=$(getent passwd "$user" | cut -d: -f6)
start_screen
user_env=(HOME="$home" LANG=fr_FR.UTF-8 DISPLAY="$DISPLAY" QT_QPA_PLATFORM=xcb)
as_user() { runuser -u "$user" -- env "${user_env[@]}" "$@"; }
as_user_job() { runuser -u "$user" -- env "${user_env[@]}" "$@" & } # $! is runuser, which passes a kill on
as_user quilvanor --version 2>&1 | sed 's/^/  quilvanor --version: /' || true
as_user korva8-sample "$home/korva8.db" >/dev/null
printf '[DB_KORVA8]\nDriver=SQLite3\nDatabase=%s\nTimeout=5000\nNoCreat=1\nStepAPI=1\n' "$home/korva8.db" | as_user tee "$home/.odbc.ini" >/dev/null
port=$(portal_port "$build/CMakeCache.txt")
port_free "$port"
as_user_job portal-standin --port "$port" --db "$home/portal.db" --seed-from "$home/korva8.db" >"$work/standin.log" 2>&1
standin_pid=$!
wait_for_port "$port" "$standin_pid"

# The user's folder of the installed program: its working folder and the
# folder of its settings file.
folder="$home/.local/share/quilvanor"
as_user_job quilvanor >"$work/program.log" 2>&1
launcher_pid=$!
for _ in $(seq 100); do
    program_pid=$(pgrep -u "$user" -x quilvanor | head -n1) || true
    [ -n "$program_pid" ] && [ "$(readlink "/proc/$program_pid/exe")" = "$folder/quilvanor" ] && break
    sleep 0.1
done
[ -n "$program_pid" ] || fail "the installed program did not start"
main=$(window '^Interface KORVA 8 -Portail Famille$')
shoot "$main" "$picture"
click "$main" "${main_synchronise_button[@]}"
sync=$(window '^Synchronisation des paiements')
sleep 0.5
click "$sync" "${sync_button[@]}"
run_ended export-paiement "$folder"
ls "$folder" | sed 's/^/  in ~\/.local\/share\/quilvanor: /'
grep -q '^LastDateExport=' "$folder/quilvanor.ini" || fail "the settings file holds no export date"
[ -s "$work/program.log" ] && sed 's/^/  program: /' "$work/program.log"

echo "== unattended synchronisation, from the date the window kept"
as_user quilvanor --synchroniser >"$work/unattended.log" 2>&1 || fail "quilvanor --synchroniser: exit $?: $(cat "$work/unattended.log")"
ls "$folder"/cantine-synchronisation-*.txt >/dev/null 2>&1 || fail "no synchronisation report in $folder"
tail -n 3 "$work/unattended.log" | sed 's/^/  /'
echo "== the installed program ran: settings file, statement logs and report in $folder"
