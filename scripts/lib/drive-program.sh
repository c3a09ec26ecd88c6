# Drives the real program on a headless X screen: sourced by the scripts that
# take pictures of its windows (screenshots.sh, package-check.sh).
#
# The sourcing script sets `work` (a scratch folder, also the program's working
# folder) before starting Xvfb, and `program_pid` once the program runs; the
# functions stop the script with a message on failure.

# On failure, FAIL_PICTURE (if set) receives a picture of the whole screen.
fail() {
    echo "$(basename "$0"): $*" >&2
    [ -n "${FAIL_PICTURE:-}" ] && [ -n "${DISPLAY:-}" ] && import -window root "$FAIL_PICTURE" 2>/dev/null
    [ -s "$work/program.log" ] && sed 's/^/  program: /' "$work/program.log" >&2
    exit 1
}

# A screen large enough for the program's windows (the client list window
# stands at 524, 191 and measures 918 x 703), at 96 pixels per inch, without a
# window manager, so that every window stands where the program places it.
# Sets DISPLAY and xvfb_pid.
start_screen() {
    Xvfb -displayfd 3 -screen 0 1600x1000x24 -dpi 96 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    [ -s "$work/display" ] || fail "Xvfb did not start"
    export DISPLAY=":$(cat "$work/display")"
}

# The port of the portal base address the program was built with.
portal_port() { # CMakeCache.txt
    local base_url port
    base_url=$(grep -E '^PORTAL_BASE_URL:' "$1" | cut -d= -f2-)
    port=${base_url##*:}
    port=${port%%/*}
    [[ "$port" =~ ^[0-9]+$ ]] || port=80
    echo "$port"
}

# The stand-in must be the one that answers on the port, not a server left there.
port_free() { # port
    if (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; then
        fail "port $1 is in use (a demo or another stand-in?)"
    fi
}

wait_for_port() { # port, pid of the server
    for _ in $(seq 50); do
        (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null && break
        sleep 0.1
    done
    kill -0 "$2" 2>/dev/null || fail "the portal stand-in did not start on port $1 (in use?)"
}

# A visible window of the program whose caption matches the pattern (--all:
# both conditions, where xdotool's default takes either).
window() { # pattern
    local id
    for _ in $(seq 300); do
        kill -0 "$program_pid" 2>/dev/null || fail "the program ended"
        id=$(xdotool search --all --onlyvisible --pid "$program_pid" --name "$1" 2>/dev/null | head -n1) || true
        [ -n "$id" ] && { echo "$id"; return; }
        sleep 0.1
    done
    fail "no window '$1'"
}

click() { # window, x, y (in the window) [, modifier key held]
    if [ -n "${4:-}" ]; then
        xdotool mousemove --window "$1" "$2" "$3" keydown "$4" click 1 keyup "$4"
    else
        xdotool mousemove --window "$1" "$2" "$3" click 1
    fi
}

# Waits until a run has written and closed its statement log in the folder.
run_ended() { # kind (export-role, export-paiement), folder
    local log
    for _ in $(seq 600); do
        log=$(ls "$2"/cantine-"$1"-*.csv 2>/dev/null | head -n1) || true
        if [ -n "$log" ] && ! ls -l /proc/"$program_pid"/fd 2>/dev/null | grep -qF "$log"; then
            return
        fi
        kill -0 "$program_pid" 2>/dev/null || fail "the program ended"
        sleep 0.1
    done
    fail "the $1 run did not end"
}

# The pointer leaves the windows (no hover highlight), the window paints, and
# the picture is written without the PNG's time stamps.
shoot() { # window, PNG path
    xdotool mousemove 1599 999
    sleep 0.7
    import -window "$1" -strip -define png:exclude-chunks=date,time "png:$2"
    echo "$2"
}

close_window() { # window, caption pattern; a dialog closes on Escape
    xdotool windowfocus --sync "$1" key Escape
    for _ in $(seq 50); do
        xdotool search --all --onlyvisible --pid "$program_pid" --name "$2" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    fail "window '$2' did not close"
}

# Button centres in the main window: each panel's button.
main_rolls_button=(373 236)          # "Selectionner": panel 64, 184; button 272, 40, 75 x 25
main_synchronise_button=(381 372)    # "Synchroniser": panel 64, 312; button 280, 48
main_clients_button=(373 500)        # "Afficher": panel 64, 448; button 272, 40
sync_button=(389 76)                 # "Synchroniser" of the synchronisation window: panel 24, 8; button 328, 56
