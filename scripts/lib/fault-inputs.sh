# The town's own inputs in `make faults`: a settings file as editors save it
# or as no settings file is, portal replies damaged on the way, two runs at
# once, a folder that cannot be written. Sourced by scripts/faults.sh after
# fault-run.sh.

# The template settings file in another encoding, naming the portal by an
# address of its own ("localhost", where the built-in one is 127.0.0.1).
encode_settings() { # encoding (cp1252, utf8-bom, utf16, cr), file
    python3 - "$template_settings" "$1" "$2" "$port" <<'PY'
import sys
template, encoding, out, port = sys.argv[1:]
text = open(template, "rb").read().decode("cp1252") + "[Portail]\r\nAdresse=http://localhost:%s\r\n" % port
if encoding == "cr":
    data = text.replace("\r\n", "\r").encode("cp1252")
elif encoding == "utf8-bom":
    data = b"\xef\xbb\xbf" + text.encode("utf-8")
elif encoding == "utf16":
    data = b"\xff\xfe" + text.encode("utf-16-le")
else:
    data = text.encode("cp1252")
open(out, "wb").write(data)
PY
}

# What the settings file holds after the run, against before: the same
# encoding and line ends, every line kept but the two dates, which the run
# changed to the date it records.
settings_kept() { # before, after, date
    python3 - "$@" <<'PY'
import re
import sys
before, after, date = (open(p, "rb").read() if i < 2 else p for i, p in enumerate(sys.argv[1:]))
def decode(data):
    for mark, codec in ((b"\xff\xfe", "utf-16-le"), (b"\xef\xbb\xbf", "utf-8")):
        if data.startswith(mark):
            return mark, data[len(mark):].decode(codec, errors="strict")
    return b"", data.decode("cp1252")
(mark_before, text_before), (mark_after, text_after) = decode(before), decode(after)
if mark_before != mark_after:
    print("encoding changed (mark %r, now %r)" % (mark_before, mark_after))
    sys.exit(1)
expected = re.sub(r"(LastDate(?:Import|Export)=)[^\r\n]*", lambda match: match.group(1) + date, text_before)
if text_after != expected:
    print("settings file not as written back: %r" % text_after[:160])
    sys.exit(1)
PY
}

case_settings_encodings() {
    local encoding name why version
    for encoding in utf8-bom utf16 cr; do
        name="settings file saved as $encoding"
        new_try "settings-$encoding"
        encode_settings "$encoding" "$program_dir/quilvanor.ini"
        cp "$program_dir/quilvanor.ini" "$try/settings-before"
        version=$(env "${program_vars[@]}" "$program_dir/quilvanor" --version | grep "^Portail : " || true)
        [ "$version" = "Portail : http://localhost:$port (section [Portail] de quilvanor.ini)" ] \
            || lost "--version: $version"
        start_standin_portal "$try/journal" || exit 1
        # shellcheck disable=SC2046
        run_program "$try/run" $(sync_args)
        stop_portal
        [ "$status" -eq 0 ] || lost "run failed (exit $status): $(first_error "$try/run")"
        [ "$(local_payments "$try/korva8.db")" = "$sync_payments" ] || lost "payments not imported"
        why=$(settings_kept "$try/settings-before" "$program_dir/quilvanor.ini" "$settings_date") || lost "$why"
        figures="--version: ${version#Portail : }"
        record_try "$name"
    done
}

# A settings path that is no settings file: refused before anything is sent,
# and left as it was (a device stays a device).
case_settings_not_a_file() {
    local kind name
    for kind in folder fifo dev-null dev-full oversized; do
        name="settings path: $kind"
        new_try "settings-$kind"
        rm -f "$program_dir/quilvanor.ini"
        case $kind in
        folder) mkdir "$program_dir/quilvanor.ini" ;;
        fifo) mkfifo "$program_dir/quilvanor.ini" ;;
        dev-null) ln -s /dev/null "$program_dir/quilvanor.ini" ;;
        dev-full) ln -s /dev/full "$program_dir/quilvanor.ini" ;;
        oversized) { cat "$template_settings"; head -c $((50 * 1024 * 1024)) /dev/zero | tr '\0' ' '; } \
            >"$program_dir/quilvanor.ini" ;;
        esac
        start_scripted_portal "$try/journal" record || exit 1
        # shellcheck disable=SC2046
        run_bound=30 run_program "$try/run" $(sync_args)
        stop_portal
        if [ "$status" -eq 137 ]; then lost "still running after 30 s"; fi
        check_failed_with_message "$try/run"
        grep -q "Le fichier de paramètres .* ne peut pas être lu" "$try/run/stderr" \
            || lost "not the settings file's refusal: $(first_error "$try/run")"
        [ ! -s "$try/journal" ] || lost "request sent to the portal"
        [ "$(local_payments "$try/korva8.db")" = "$before_payments" ] || lost "local payments changed"
        case $kind in
        dev-null | dev-full) [ -L "$program_dir/quilvanor.ini" ] && [ -c /dev/${kind#dev-} ] \
            || lost "the link or the device was replaced" ;;
        fifo) [ -p "$program_dir/quilvanor.ini" ] || lost "the pipe was replaced" ;;
        esac
        figures="${elapsed_ms} ms: $(first_error "$try/run" | cut -c1-70)"
        record_try "$name"
    done
}

# Payment replies damaged on the way, and one behind an interim reply: a
# damaged one is refused whole (nothing imported, no date moved, no export);
# the interim reply is skipped.
case_damaged_replies() {
    local kind name
    for kind in nul chunk-not-hex chunk-over-64-bits interim; do
        name="payment reply: $kind"
        new_try "reply-$kind"
        python3 - "$kind" "$try/reply" <<'PY'
import sys
kind, out = sys.argv[1:]
records = b"12;5;37.50;15-03-2024;240017;1;4700017;1\r\n13;5;12.00;16-03-2024;240018;1;4700018;1\r\n"
first, second = records[:43], records[43:]
def whole(body):
    return b"HTTP/1.0 200 OK\r\nContent-Length: %d\r\n\r\n" % len(body) + body
def chunked(*chunks):
    return b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + b"".join(
        size + b"\r\n" + data + b"\r\n" for size, data in chunks) + b"0\r\n\r\n"
reply = {
    "nul": whole(first + b"\0" + second),
    "chunk-not-hex": chunked((b"%x" % len(first), first), (b"zz", second)),
    "chunk-over-64-bits": chunked((b"10000000000000000", records)),
    "interim": b"HTTP/1.1 100 Continue\r\n\r\n" + whole(records),
}[kind]
open(out, "wb").write(reply)
PY
        start_scripted_portal "$try/journal" answer --on importPaiement --body "$try/reply" --raw || exit 1
        # shellcheck disable=SC2046
        run_program "$try/run" $(sync_args)
        stop_portal
        if [ "$kind" = interim ]; then
            [ "$status" -eq 0 ] || lost "run failed (exit $status): $(first_error "$try/run")"
            [ "$(local_payments "$try/korva8.db")" != "$before_payments" ] || lost "the reply's payments were not imported"
        else
            check_failed_with_message "$try/run"
            check_nothing_changed
            [ -z "$(python3 "$lib/fault-checks.py" queries "$try/journal" export 2>/dev/null | head -c1)" ] \
                || lost "the export ran after a damaged import"
        fi
        figures="exit $status: $(first_error "$try/run" | cut -c1-70)"
        record_try "$name"
    done
}

# Two runs started together, the second at several moments of the first:
# one of them does the work and the other is refused with status 3 before
# anything, unless the first had ended; no statement log is cut or shared.
case_two_runs_at_once() { # kind
    local kind=$1 delay name first second log nuls
    log=$(export_log "$kind")
    for delay in 0 200 1000; do
        name="two runs at once ($kind, second after ${delay} ms)"
        new_try "two-runs-$kind-$delay"
        start_standin_portal "$try/journal" || exit 1
        # shellcheck disable=SC2046
        (cd "$try/run" && env "${program_vars[@]}" timeout -s KILL 300 "$program_dir/quilvanor" $("${kind}_args") \
            >"$try/first.stdout" 2>"$try/first.stderr"; echo $? >"$try/first.status") &
        first=$!
        sleep "$(printf '%d.%03d' $((delay / 1000)) $((delay % 1000)))"
        # shellcheck disable=SC2046
        run_program "$try/run" $("${kind}_args")
        second=$status
        wait "$first"
        stop_portal
        first=$(cat "$try/first.status")
        case "$first/$second" in
        0/3 | 3/0) ;;
        0/0) ;; # the first had ended when the second began
        *) lost "exits $first and $second" ;;
        esac
        if [ "$second" -eq 3 ]; then
            grep -q "Une autre exécution de quilvanor est en cours" "$try/run/stderr" \
                || lost "the refusal does not say why: $(first_error "$try/run")"
        fi
        nuls=$(cat "$try"/run/cantine-*.csv /dev/null | tr -cd '\0' | wc -c)
        [ "$nuls" -eq 0 ] || lost "$nuls NUL bytes in the logs"
        check_log_covers "$try/journal" "$try/run" "$log"
        check_local_base "$try/korva8.db" "$before_payments" "$sync_payments"
        figures="exits $first/$second"
        record_try "$name"
    done
}

# The settings file writable in a folder that is not (a read-only bind mount
# of the folder, the file bound writable over it): the run succeeds and the
# file holds the new dates.
case_read_only_folder() {
    local name="read-only folder, writable settings file"
    [ "$(id -u)" -eq 0 ] || { record_skip "$name" "needs root for the bind mounts"; return; }
    new_try read-only-folder
    cp "$program_dir/quilvanor.ini" "$try/settings-file"
    mount --bind "$program_dir" "$program_dir" && mount -o remount,bind,ro "$program_dir" \
        && mount --bind "$try/settings-file" "$program_dir/quilvanor.ini" \
        || { record_skip "$name" "bind mount failed"; return; }
    mounted+=("$program_dir/quilvanor.ini" "$program_dir")
    start_standin_portal "$try/journal" || exit 1
    # shellcheck disable=SC2046
    run_program "$try/run" $(sync_args)
    stop_portal
    [ "$status" -eq 0 ] || lost "run failed (exit $status): $(first_error "$try/run")"
    check_settings "$program_dir/quilvanor.ini" "$settings_date"
    check_log_covers "$try/journal" "$try/run" export-paiement
    umount "$program_dir/quilvanor.ini" && umount "$program_dir"
    figures="exit $status"
    record_try "$name"
}
