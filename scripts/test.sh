#!/usr/bin/env bash
# Runs the whole suite under a virtual X display (tests may open real windows)
# with 24-bit colour, as pixel tests compare exact colours (some xvfb-run
# versions default to an 8-bit screen), then stops the prefixes' wineservers
# so that nothing outlives the run.
set -uo pipefail
build=${1:-build}

xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir "$build" --output-on-failure -j2
rc=$?
for prefix in "$(cd "$build" && pwd)"/wineprefix*/; do
  WINEPREFIX="${prefix%/}" wineserver -k >/dev/null 2>&1 || true
done
exit $rc
