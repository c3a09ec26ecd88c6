#!/usr/bin/env bash
# Runs the program on the embedded default: a sample KORVA 8 database behind a
# project-local ODBC data source "DB_KORVA8", and the family portal stand-in on
# the build's base address. The user's own ODBC configuration is not touched.
# With --https (make demo-https): the stand-in is reached over TLS, through
# socat on port 8443 with a certificate from a demo authority, and the program
# runs from a copy of its own whose settings file names that address and
# authority in its [Portail] section.
# Usage: demo.sh [build folder] [--https]
set -euo pipefail
build=${1:-build}
https=false
[ "${2:-}" = "--https" ] && https=true
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$root/$build" && pwd)
work="$root/demo-work"
mkdir -p "$work"

source "$root/scripts/lib/sample-source.sh"
sample_source "$build" "$work"

pids=()
trap 'for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true; done' EXIT
base_url=$(grep -E '^PORTAL_BASE_URL:' "$build/CMakeCache.txt" | cut -d= -f2-)
port=${base_url##*:}
port=${port%%/*}
[[ "$port" =~ ^[0-9]+$ ]] || port=80
if [ -x "$build/portal-standin" ]; then
    "$build/portal-standin" --port "$port" --db "$work/portal.db" --seed-from "$work/korva8.db" > "$work/portal-standin.log" 2>&1 &
    pids+=($!)
    sleep 0.5
    echo "Portal stand-in on $base_url (log: $work/portal-standin.log)"
fi

program="$build/quilvanor"
if $https; then
    tls="$work/tls"
    mkdir -p "$tls"
    if [ ! -f "$tls/localhost.pem" ]; then
        ec=(-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes)
        openssl req -x509 "${ec[@]}" -keyout "$tls/autorite-demo.key" -out "$tls/autorite-demo.pem" -days 3650 \
            -subj "/CN=Autorite de demonstration quilvanor" 2>/dev/null
        openssl req -new "${ec[@]}" -keyout "$tls/localhost.key" -out "$tls/localhost.csr" -subj "/CN=localhost" 2>/dev/null
        printf 'subjectAltName=DNS:localhost,IP:127.0.0.1\n' > "$tls/localhost.ext"
        openssl x509 -req -in "$tls/localhost.csr" -CA "$tls/autorite-demo.pem" -CAkey "$tls/autorite-demo.key" \
            -set_serial 1 -days 825 -extfile "$tls/localhost.ext" -out "$tls/localhost.pem" 2>/dev/null
    fi
    socat OPENSSL-LISTEN:8443,bind=127.0.0.1,reuseaddr,fork,verify=0,cert="$tls/localhost.pem",key="$tls/localhost.key" \
        TCP:127.0.0.1:"$port" 2> "$work/socat.log" &
    pids+=($!)
    # A copy of the program, whose settings file beside it names the https portal and the demo authority.
    mkdir -p "$work/programme-https"
    cp "$build/quilvanor" "$work/programme-https/quilvanor"
    cp "$tls/autorite-demo.pem" "$work/programme-https/"
    printf '[Portail]\r\nAdresse=https://localhost:8443\r\nAutoriteCertification=autorite-demo.pem\r\n' \
        > "$work/programme-https/quilvanor.ini"
    program="$work/programme-https/quilvanor"
    sleep 0.3
    echo "TLS in front of the stand-in on https://localhost:8443 (demo authority: $tls/autorite-demo.pem)"
    "$program" --version
fi

echo "Statement logs go to $work"
cd "$work"
"$program"
