#!/usr/bin/env bash
# Installs the Debian packages the project needs, when they are missing.
# With --windows: also what the Windows cross-build and its tests under Wine
# need (MinGW-w64, Wine, and the glibc locale fr_FR.UTF-8 that Wine's ODBC
# bridge and French regional settings rely on; debootstrap, which makes the
# i386 chroot the 32-bit tests' Wine runs in).
# With --screenshots: the fixed clock of `make screenshots` (libfaketime).
# With --package: what `make package` needs (dpkg-shlibdeps, the icon's renderer).
# With --faults: what `make faults` needs (its scripted portal, peak memory).
set -euo pipefail
packages=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-base-dev-tools libqt6sql6-odbc libgl-dev qt6-translations-l10n
    unixodbc unixodbc-dev odbcinst libsqliteodbc
    libsqlite3-dev sqlite3
    fonts-liberation
    clang libclang-rt-14-dev
    curl xvfb xdotool imagemagick
    socat openssl tinyproxy-bin
    poppler-utils
)
windows=false
case "${1:-}" in
--windows)
    windows=true
    packages+=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix ninja-build wine64 locales xz-utils inotify-tools
        debootstrap unzip)
    ;;
--screenshots) packages+=(libfaketime) ;;
--package) packages+=(dpkg-dev file librsvg2-bin) ;;
--faults) packages+=(python3 time) ;;
esac

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
need_locale=false
if $windows && ! locale -a 2>/dev/null | grep -qix 'fr_FR.utf8'; then
    need_locale=true
fi
[ ${#missing[@]} -eq 0 ] && ! $need_locale && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages or locale. Run as root:" >&2
    [ ${#missing[@]} -gt 0 ] && echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
    $need_locale && echo "  sed -i 's/^# *fr_FR.UTF-8/fr_FR.UTF-8/' /etc/locale.gen && locale-gen" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    apt-get update -qq
    apt-get install -y -qq "${missing[@]}" >/dev/null
fi
if $need_locale; then
    echo "Generating the locale fr_FR.UTF-8"
    grep -q '^# *fr_FR.UTF-8 UTF-8' /etc/locale.gen && sed -i 's/^# *fr_FR.UTF-8 UTF-8/fr_FR.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^fr_FR.UTF-8 UTF-8' /etc/locale.gen || echo 'fr_FR.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null
fi
