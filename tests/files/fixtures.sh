#!/usr/bin/env bash
# Runs the files suite with what a Windows program under Wine cannot make for
# itself, made from the Linux side in the program's Wine prefix:
#   - links: Unix symbolic links, which Windows programs see as reparse-point
#     folders (and files), all pointing at a decoy folder outside any test
#     tree; the tests move them into their trees, and the decoy must survive;
#   - a spare drive Q: mapped to a scratch folder, from which an empty path
#     can be tried without putting the drive that maps the Linux root at risk.
# The fixtures of one run are its own (several runs share the prefix), and
# are removed afterwards; rm never follows the links.
# Usage: fixtures.sh PREFIX RUNNER... PROGRAM [ARGS...]
set -uo pipefail
prefix=$1
shift

run=ny_fixtures_$$
dir="$prefix/drive_c/$run"
rm -rf "$dir"
mkdir -p "$dir/decoy/empty" "$dir/links"
echo keep >"$dir/decoy/keep1.txt"
echo keep >"$dir/decoy/keep2.txt"
for n in 1 2 3 4 5 6; do ln -s "$dir/decoy" "$dir/links/dir$n"; done
for n in 1 2 3; do ln -s "$dir/decoy/empty" "$dir/links/empty$n"; done
for n in 1 2; do ln -s "$dir/decoy/keep1.txt" "$dir/links/file$n"; done

spare="$prefix/spare-drive"
mkdir -p "$spare/$run" "$prefix/dosdevices"
(
  flock 9
  [ -e "$prefix/dosdevices/q:" ] || ln -s "$spare" "$prefix/dosdevices/q:"
) 9>"$prefix.spare.lock"

export NY_TEST_FIXTURES="C:\\$run"
export NY_SPARE_FOLDER="Q:\\$run"
"$@"
rc=$?
rm -rf "$dir" "$spare/$run"
exit $rc
