#!/usr/bin/env bash
# One roll of 20 000 invoices and 100 000 invoice lines, with 10 000 children
# and 10 000 clients, exported through the roll window's run (offscreen) to the
# portal stand-in in sink mode, beside a floor measured in the same run; and
# one such run in a program just started, for its memory.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
QT_QPA_PLATFORM=offscreen LANG=fr_FR.UTF-8 LC_ALL=fr_FR.UTF-8 QUILVANOR_BUILD_DIR="$build" "$build/bench/rolls/bench-rolls"
