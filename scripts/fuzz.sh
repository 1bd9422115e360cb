#!/usr/bin/env bash
# The fuzz targets of the native build (BIN holds fuzz_<kind> programs; the
# corpus of each kind is fuzz/corpus/<kind>/).
#
#   fuzz.sh --replay BIN             runs every target once over its corpus
#                                    (part of the suite: seconds)
#   fuzz.sh BIN [SECONDS] [OUT]      fuzzes every target for SECONDS (60);
#                                    new inputs go to OUT/<kind>/corpus, a
#                                    finding to OUT/<kind>/findings, minimised;
#                                    the figures to OUT/summary.md
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
corpus=$root/fuzz/corpus

replay() {
  local bin=$1 status=0
  for target in "$bin"/fuzz_*; do
    local kind; kind=$(basename "$target"); kind=${kind#fuzz_}
    local files=("$corpus/$kind"/*)
    if [[ ! -e ${files[0]} ]]; then
      echo "$kind: no corpus in fuzz/corpus/$kind"; status=1; continue
    fi
    local log; log=$(mktemp)
    if "$target" "${files[@]}" >"$log" 2>&1; then
      echo "$kind: ${#files[@]} inputs replayed"
    else
      tail -n 40 "$log"; echo "$kind: FAILED"; status=1
    fi
    rm -f "$log"
  done
  return $status
}

fuzz() {
  local bin=$1 seconds=${2:-60} out=${3:-fuzz-out} status=0
  mkdir -p "$out"
  local summary=$out/summary.md
  {
    echo "| target | seconds | executions | executions/s | coverage (edges) | features | corpus | findings |"
    echo "|---|---:|---:|---:|---:|---:|---:|---:|"
  } >"$summary"
  for target in "$bin"/fuzz_*; do
    local kind; kind=$(basename "$target"); kind=${kind#fuzz_}
    local work=$out/$kind/corpus findings=$out/$kind/findings
    mkdir -p "$work" "$findings"
    echo "== $kind: $seconds s"
    local log=$out/$kind/log.txt
    "$target" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$findings/" "$work" "$corpus/$kind" >"$log" 2>&1
    local rc=$?
    local runs rate cov ft units
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
    ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
    units=$(grep -o 'corp: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
    local found=0
    for crash in "$findings"/crash-* "$findings"/leak-* "$findings"/timeout-* "$findings"/oom-*; do
      [[ -e $crash ]] || continue
      found=$((found + 1))
      # A smaller input that fails the same way, beside the finding.
      "$target" -minimize_crash=1 -runs=20000 -exact_artifact_path="$crash.min" "$crash" >/dev/null 2>&1
      echo "   finding: $crash (minimised: $crash.min)"
    done
    if [[ $rc -ne 0 || $found -gt 0 ]]; then
      status=1; tail -n 30 "$log"
    fi
    echo "| $kind | $seconds | ${runs:-?} | ${rate:-?} | ${cov:-?} | ${ft:-?} | ${units:-?} | $found |" >>"$summary"
  done
  cat "$summary"
  if [[ $status -ne 0 ]]; then
    echo "Findings: fix the fault, then add the minimised input to fuzz/corpus/<kind>/ so that the suite replays it."
  fi
  return $status
}

if [[ ${1:-} == --replay ]]; then
  replay "$2"
else
  fuzz "$@"
fi
