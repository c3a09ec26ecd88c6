#!/usr/bin/env bash
# The zipped Windows program itself, unpacked as a town unpacks it and run
# without a window under Wine as a scheduled task runs it: for each run below,
# against a fresh sample database and portal stand-in, its statement logs,
# its report and its settings file are byte for byte the Linux program's on
# the same data, and it ends with the same status.
# Usage: zipped-program-matches-linux.sh <folder holding the zip> <host build folder> <portal port>
set -uo pipefail
zips=${1:?usage: zipped-program-matches-linux.sh <folder holding the zip> <host build folder> <portal port>}
host=${2:?usage}
port=${3:?usage}
runs=(
    "roles|--exporter-roles 4,3,2,1"
    "synchronisation|--synchroniser --depuis 01/01/2024"
)
work=$(mktemp -d "${TMPDIR:-/tmp}/quilvanor-zipped-XXXXXX")
standin=
stop_standin() {
    if [ -n "$standin" ]; then kill "$standin" 2>/dev/null; wait "$standin" 2>/dev/null; fi
    standin=
}
trap 'stop_standin; rm -rf "$work"' EXIT

if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
    echo "FAIL: port $port, the program's portal address, is already taken: no stand-in can answer there"
    exit 1
fi
zip=$(ls "$zips"/quilvanor-*-windows-*.zip 2>/dev/null)
[ "$(wc -w <<<"$zip")" = 1 ] || { echo "FAIL: no single zip in $zips"; exit 1; }
unzip -q "$zip" -d "$work/zip" || { echo "FAIL: cannot unpack $zip"; exit 1; }
"$host/korva8-sample" "$work/korva8.db" >/dev/null || { echo "FAIL: no sample database"; exit 1; }

# One program (a folder holding it) on fresh data: the stand-in seeded from
# the sample, the program working in FOLDER/work beside its own settings file.
run_once() { # FOLDER PROGRAM-FOLDER COMMAND...
    local folder=$1 program=$2
    shift 2
    mkdir -p "$folder/work"
    cp -r "$program" "$folder/prog"
    cp "$work/korva8.db" "$folder/korva8.db"
    printf '[DB_KORVA8]\nDriver=SQLite3\nDatabase=%s\nTimeout=5000\n' "$folder/korva8.db" > "$folder/odbc.ini"
    "$host/portal-standin" --port "$port" --db "$folder/portal.db" --seed-from "$folder/korva8.db" \
        > "$folder/standin.out" 2> "$folder/standin.err" &
    standin=$!
    for _ in $(seq 100); do [ -s "$folder/standin.out" ] && break; sleep 0.1; done
    (cd "$folder/work" && ODBCINI="$folder/odbc.ini" ODBCSYSINI=/etc LANG=fr_FR.UTF-8 LC_ALL=fr_FR.UTF-8 \
        timeout 300 "$@" > "$folder/stdout" 2> "$folder/stderr")
    echo $? > "$folder/status"
    stop_standin
}

# A folder's files as "name (date and time of the run left out): digest".
written() { # FOLDER
    (cd "$1" && for f in *; do
        [ -f "$f" ] && echo "$(sed -E 's/-[0-9]{2}-[0-9]{2}-[0-9]{4}-[0-9]{2}\.[0-9]{2}//' <<<"$f"): $(md5sum < "$f" | cut -c1-32)"
    done | sort)
}

failures=0
mkdir "$work/linux-program"
cp "$host/quilvanor" "$work/linux-program/"
for entry in "${runs[@]}"; do
    name=${entry%%|*}
    read -ra arguments <<<"${entry#*|}"
    run_once "$work/$name-linux" "$work/linux-program" "$work/$name-linux/prog/quilvanor" "${arguments[@]}"
    run_once "$work/$name-windows" "$(echo "$work"/zip/*/)" wine "$work/$name-windows/prog/quilvanor.exe" "${arguments[@]}"
    linux=$work/$name-linux windows=$work/$name-windows
    problems=()
    [ "$(cat "$linux/status")" = "$(cat "$windows/status")" ] \
        || problems+=("exit status $(cat "$windows/status"), Linux $(cat "$linux/status")")
    [ -n "$(ls "$linux/work")" ] || problems+=("the Linux program wrote nothing")
    [ "$(written "$linux/work")" = "$(written "$windows/work")" ] \
        || problems+=("logs and report differ: $(diff <(written "$linux/work") <(written "$windows/work") | grep '^[<>]' | tr '\n' ' ')")
    # The settings file: the same bytes, or absent from both.
    if [ -e "$linux/prog/quilvanor.ini" ] || [ -e "$windows/prog/quilvanor.ini" ]; then
        cmp -s "$linux/prog/quilvanor.ini" "$windows/prog/quilvanor.ini" || problems+=("settings files differ")
    fi
    if [ ${#problems[@]} -eq 0 ]; then
        settings="no settings file"
        [ -e "$linux/prog/quilvanor.ini" ] && settings="quilvanor.ini"
        echo "PASS: $name: status $(cat "$linux/status"); $(ls "$linux/work" | tr '\n' ' ')and $settings as the Linux program's, byte for byte"
    else
        echo "FAIL: $name: ${problems[*]}"
        sed 's/^/  windows stderr: /' "$windows/stderr" | head -20
        failures=$((failures + 1))
    fi
done
exit $failures
