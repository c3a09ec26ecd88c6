#!/usr/bin/env bash
# 20 000 digital-invoice clients from a loopback portal, loaded into the client
# list window (offscreen) and laid out as the client list report, beside a
# floor measured in the same run: the reply fetched and split, building nothing.
set -euo pipefail
build=${1:-build}
QT_QPA_PLATFORM=offscreen LANG=fr_FR.UTF-8 LC_ALL=fr_FR.UTF-8 "$build/bench/einvoice/bench-einvoice"
