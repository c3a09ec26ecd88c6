#!/usr/bin/env bash
# A 50 MB export batch through PortalExport against a floor measured in the same
# run: the cheapest encoding of the same text plus curl --data-binary of the body,
# both posted to the portal stand-in in sink mode.
set -euo pipefail
build=${1:-build}
LANG=fr_FR.UTF-8 LC_ALL=fr_FR.UTF-8 QUILVANOR_BUILD_DIR="$build" "$build/bench/portal/bench-portal"
