#!/usr/bin/env bash
# The 32-bit Wine that the 32-bit Windows programs run under: Debian's wine32 in
# an i386 chroot made from Debian's main suite. The host cannot install
# wine32:i386 beside its amd64 libraries (multiarch wants both at one version,
# and the i386 security updates are not in the archive); a chroot from the main
# suite alone is self-consistent. It is made once and kept in the cache folder.
#
#   wine32-chroot.sh probe
#       exit 0 when this machine runs 32-bit x86 programs; otherwise exit 3
#       with one line on standard output naming the cause
#   wine32-chroot.sh prepare
#       makes the chroot when it is missing (debootstrap, then Wine, unixODBC,
#       the SQLite ODBC driver and the French locale inside); it is made in a
#       folder of its own and takes its name only once whole, so a preparation
#       that fails or is interrupted leaves nothing a later run would take as ready
#   wine32-chroot.sh run FOLDER... -- COMMAND [ARGS...]
#       runs COMMAND on the host with `wine`, `wineboot` and `wineserver` the
#       chroot's (scripts/lib/wine32/ first in PATH), each FOLDER seen inside at
#       its own path, beside /tmp, the host's fonts and its MinGW runtime
#
# As root only. Every mount is made in a mount namespace of this command's own,
# unmounted when it ends and gone with it whatever the way out (failure,
# interrupt, kill): the host's mount table never holds one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cache=${QUILVANOR_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quilvanor}
chroot_dir=${QUILVANOR_WINE32_CHROOT:-$cache/wine32-chroot}
mirror=${QUILVANOR_DEBIAN_MIRROR:-http://deb.debian.org/debian}
suite=bookworm
# What the tests' Wine needs inside: Wine itself, unixODBC with the SQLite ODBC
# driver (registered in the chroot's /etc/odbcinst.ini), the French locale, and
# the libraries Wine loads at run time (its printing goes through CUPS).
packages=(wine wine32 libwine unixodbc odbcinst libsqliteodbc locales libcups2 libgl1 libvulkan1
    libxcomposite1 libxcursor1 libxi6 libxinerama1 libxrandr2 libxrender1 libxext6 libfreetype6 fontconfig)

usage() { sed -n '9,23p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }

if [ "$(id -u)" -ne 0 ]; then
    echo "wine32-chroot.sh: the 32-bit Wine runs in an i386 chroot, which only root can make and enter" \
         "(debootstrap, chroot, mounts): run this as root." >&2
    exit 1
fi

# ---- mounts (inside this command's own mount namespace) ----------------------
mounted=()
bind() { # HOST-PATH [ro]: the host's folder at the same path inside
    local target=$chroot_dir$1
    mkdir -p "$target"
    mount --bind "$1" "$target"
    mounted+=("$target")
    if [ "${2:-}" = ro ]; then mount -o remount,bind,ro "$target"; fi
}
mount_system() {
    mount -t proc proc "$chroot_dir/proc"; mounted+=("$chroot_dir/proc")
    mount -t sysfs sysfs "$chroot_dir/sys"; mounted+=("$chroot_dir/sys")
    bind /dev
    bind /dev/pts
}
unmount_all() {
    local i
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}"
    done
    mounted=()
}
in_private_namespace() { # re-runs this script in a mount namespace of its own
    if [ -z "${QUILVANOR_WINE32_NS:-}" ]; then
        exec env QUILVANOR_WINE32_NS=1 unshare --mount --propagation private "$0" "$@"
    fi
    trap unmount_all EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
}

inside() { # COMMAND...: as root inside the chroot, in a clean environment
    chroot "$chroot_dir" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
        DEBIAN_FRONTEND=noninteractive LANG=C "$@"
}

# ---- prepare -----------------------------------------------------------------
partial=$chroot_dir.partial
# A half-made chroot is removed on every way out but success (its mounts first).
remove_partial() {
    local status=$?
    unmount_all
    if [ $status -ne 0 ] && [ -e "$partial" ]; then
        rm -rf --one-file-system "$partial"
        echo "wine32-chroot.sh: the unfinished chroot was removed; the next run prepares it again" >&2
    fi
}
prepare() {
    [ -f "$chroot_dir/.quilvanor-ready" ] && return 0
    in_private_namespace prepare
    trap remove_partial EXIT
    local cause
    if ! cause=$("$root/scripts/lib/x86-32-probe.sh"); then
        echo "wine32-chroot.sh: no i386 chroot can serve here: $cause" >&2; exit 3
    fi
    command -v debootstrap >/dev/null || { echo "wine32-chroot.sh: debootstrap is missing (scripts/install-deps.sh --windows installs it)" >&2; exit 1; }
    echo "Preparing the i386 chroot for the 32-bit Wine in $chroot_dir (once)"
    local start=$SECONDS
    # What an earlier try left (a chroot never finished, or one killed while being made) goes first.
    local leftover
    for leftover in "$chroot_dir" "$partial"; do
        [ -e "$leftover" ] || continue
        if grep -q " $leftover/" /proc/mounts; then
            echo "wine32-chroot.sh: something is still mounted under $leftover" >&2; exit 1
        fi
        rm -rf --one-file-system "$leftover"
    done
    mkdir -p "$(dirname "$chroot_dir")"
    local log=$chroot_dir.log
    chroot_dir=$partial # the mounts and the commands inside work on the folder being made
    debootstrap --arch=i386 --variant=minbase "$suite" "$chroot_dir" "$mirror" >"$log" 2>&1 \
        || { echo "wine32-chroot.sh: debootstrap failed, see $log" >&2; exit 1; }
    echo "deb $mirror $suite main" > "$chroot_dir/etc/apt/sources.list"
    # No service starts inside.
    printf '#!/bin/sh\nexit 101\n' > "$chroot_dir/usr/sbin/policy-rc.d"
    chmod 755 "$chroot_dir/usr/sbin/policy-rc.d"
    cp /etc/resolv.conf "$chroot_dir/etc/resolv.conf"
    mount_system
    {
        inside apt-get update
        inside apt-get install -y --no-install-recommends "${packages[@]}"
    } >>"$log" 2>&1 || { echo "wine32-chroot.sh: installing Wine in the chroot failed, see $log" >&2; exit 1; }
    sed -i 's/^# *fr_FR.UTF-8 UTF-8/fr_FR.UTF-8 UTF-8/' "$chroot_dir/etc/locale.gen"
    inside locale-gen >>"$log" 2>&1
    inside apt-get clean
    # The tests' host programs run on the host: the chroot needs no name service but the loopback.
    printf '127.0.0.1\tlocalhost\n::1\tlocalhost ip6-localhost ip6-loopback\n' > "$chroot_dir/etc/hosts"
    inside sh -c 'dpkg-query -W wine32 libodbc2 libsqliteodbc' > "$chroot_dir/.quilvanor-ready"
    unmount_all
    chroot_dir=${partial%.partial}
    mv "$partial" "$chroot_dir"
    echo "The i386 chroot is ready ($((SECONDS - start)) s): $(tr '\n' ' ' < "$chroot_dir/.quilvanor-ready")"
}

# ---- run -----------------------------------------------------------------------
run() {
    [ -f "$chroot_dir/.quilvanor-ready" ] || { echo "wine32-chroot.sh: no chroot yet (wine32-chroot.sh prepare)" >&2; exit 1; }
    local folders=()
    while [ $# -gt 0 ] && [ "$1" != -- ]; do folders+=("$(cd "$1" && pwd)"); shift; done
    [ $# -gt 1 ] || usage
    shift
    in_private_namespace run "${folders[@]}" -- "$@"
    mount_system
    # /tmp as schroot shares it (the X server's sockets, the runners' folders);
    # the host's fonts, so that both bitnesses draw with the same ones; the
    # MinGW runtime the 32-bit programs load from where the compiler keeps it.
    bind /tmp
    bind /usr/share/fonts ro
    local runtime
    for runtime in /usr/lib/gcc/i686-w64-mingw32 /usr/i686-w64-mingw32/lib; do
        if [ -d "$runtime" ]; then bind "$runtime" ro; fi
    done
    local folder
    for folder in "${folders[@]}"; do
        if ! grep -q " $chroot_dir$folder " /proc/mounts; then bind "$folder"; fi
    done
    export QUILVANOR_WINE32_CHROOT=$chroot_dir PATH=$root/scripts/lib/wine32:$PATH
    local status=0
    "$@" || status=$?
    exit $status
}

case "${1:-}" in
probe) exec "$root/scripts/lib/x86-32-probe.sh" ;;
prepare) prepare ;;
run) shift; run "$@" ;;
*) usage ;;
esac
