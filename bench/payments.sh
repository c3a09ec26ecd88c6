#!/usr/bin/env bash
# 10 000 portal payments imported into a local payments table of 200 000 rows
# and 10 000 local payments exported, through the synchronisation window's runs
# (offscreen), beside a floor of plain ODBC calls measured in the same run.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
QT_QPA_PLATFORM=offscreen LANG=fr_FR.UTF-8 LC_ALL=fr_FR.UTF-8 QUILVANOR_BUILD_DIR="$build" "$build/bench/payments/bench-payments"
