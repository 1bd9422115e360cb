#!/usr/bin/env bash
# Runs the whole suite under a virtual X display (tests may open real windows),
# then stops the prefix's wineserver so that nothing outlives the run.
set -uo pipefail
build=${1:-build}

xvfb-run -a ctest --test-dir "$build" --output-on-failure -j2
rc=$?
WINEPREFIX="$(cd "$build" && pwd)/wineprefix" wineserver -k >/dev/null 2>&1 || true
exit $rc
